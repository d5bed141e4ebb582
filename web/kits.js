// Kits kept in the browser, and kits shared by link. A kit is a settings
// file: its name and its exact bytes. Nothing leaves the device: kits live
// in the browser's storage, and a shared link carries the kit in the URL's
// fragment, which a browser never sends to a server.

const kKitsKey = "velmo.kits";
const kEditingKey = "velmo.editing";

function toBase64Url(bytes) {
  let binary = "";
  for (let i = 0; i < bytes.length; i += 0x8000) binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(binary).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
}

function fromBase64Url(text) {
  const binary = atob(text.replace(/-/g, "+").replace(/_/g, "/"));
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

/// The browser's storage, or null where it is refused (a private window
/// of some browsers, a page from disk in others): the app works on
/// without keeping anything.
function storage() {
  try {
    return window.localStorage;
  } catch (refused) {
    return null;
  }
}

function readStored(key, fallback) {
  try {
    const text = storage()?.getItem(key);
    return text ? JSON.parse(text) : fallback;
  } catch (unreadable) {
    return fallback;
  }
}

function writeStored(key, value) {
  try {
    storage()?.setItem(key, JSON.stringify(value));
  } catch (full) {
    // Full or refused: what is not kept is simply typed again.
  }
}

function packKit(name, bytes) {
  return { name, bytes: toBase64Url(bytes) };
}

function unpackKit(kit) {
  return { name: kit.name, bytes: fromBase64Url(kit.bytes) };
}

/// The kits saved by name: { kitName: { name, bytes } }.
function savedKits() {
  return readStored(kKitsKey, {});
}

function saveKit(kitName, name, bytes) {
  const kits = savedKits();
  kits[kitName] = packKit(name, bytes);
  writeStored(kKitsKey, kits);
}

function deleteKit(kitName) {
  const kits = savedKits();
  delete kits[kitName];
  writeStored(kKitsKey, kits);
}

function kitNamed(kitName) {
  const kit = savedKits()[kitName];
  return kit ? unpackKit(kit) : null;
}

/// The settings being edited, kept across a reload.
function keepEditing(name, bytes) {
  writeStored(kEditingKey, packKit(name, bytes));
}

function editedKit() {
  const kit = readStored(kEditingKey, null);
  return kit ? unpackKit(kit) : null;
}

/// The address that opens the app on this kit.
function shareLink(name, bytes) {
  const fragment = new URLSearchParams({ name, settings: toBase64Url(bytes) });
  return location.href.replace(/#.*$/, "") + "#" + fragment;
}

/// The kit a shared link brought, or null.
function sharedKit() {
  const fragment = new URLSearchParams(location.hash.slice(1));
  if (!fragment.has("settings")) return null;
  try {
    return { name: fragment.get("name") || "shared.ini", bytes: fromBase64Url(fragment.get("settings")) };
  } catch (damaged) {
    return null;
  }
}
