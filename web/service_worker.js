// Keeps the app on the device: the first visit stores the page (which
// holds the module, the examples and the style sheet), its manifest and
// its icons; from then on every request for them is answered from the
// store, with or without a network. A new build has a new store name, so
// the next visit after an update takes the new page and drops the old.
const kStore = "velmo-@STORE@";
const kFiles = ["./velmo.html", "./velmo.webmanifest", "./velmo-192.png", "./velmo-512.png"];

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(kStore).then((store) => store.addAll(kFiles)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith("velmo-") && name !== kStore)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  // The app's address without a file name, or with a shared kit after it,
  // is the page.
  const url = new URL(event.request.url);
  const asked = event.request.mode === "navigate" && url.pathname.endsWith("/") ? new Request("./velmo.html") : event.request;
  event.respondWith(caches.open(kStore)
    .then((store) => store.match(asked, { ignoreSearch: true }))
    .then((stored) => stored || fetch(event.request)));
});
