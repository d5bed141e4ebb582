// The module's side of the page: it runs in a worker, after the module's
// own script (which defines VelmoModule), so that a large table never
// freezes the page. Where a browser gives the page no worker, the page
// runs this same script itself and calls velmoAnswer directly.

/// The answer to one request of the page, and the buffers it hands over.
function velmoAnswer(velmo, request) {
  switch (request.type) {
    case "formats":
      return { reply: { formats: velmo.formatNames() }, transfer: [] };
    case "check":
      return { reply: { findings: velmo.checkSettings(request.bytes) }, transfer: [] };
    case "run": {
      const run = velmo.runVelmo(request.name, request.bytes);
      const transfer = [run.console.buffer];
      if (run.document !== null) transfer.push(run.document.bytes.buffer);
      return { reply: { run }, transfer };
    }
    default:
      throw new Error("unknown request " + request.type);
  }
}

if (typeof WorkerGlobalScope !== "undefined" && self instanceof WorkerGlobalScope) {
  const velmoReady = VelmoModule();
  self.onmessage = async (event) => {
    const answer = velmoAnswer(await velmoReady, event.data);
    self.postMessage({ id: event.data.id, ...answer.reply }, answer.transfer);
  };
}
