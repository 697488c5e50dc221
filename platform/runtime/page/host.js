// The page between the reader and the Flash runtime: it makes the player,
// carries the reader's calls to the bridge movie and the movie's commands,
// storage and pages back. The reader talks to it over the web channel
// (object "link") and by running readerHost's functions.
"use strict";

(function () {
  let link = null;
  const early = [];  // what the page said before the channel was up
  function tell(name, ...args) {
    if (link) link[name](...args);
    else early.push([name, args]);
  }

  // Qt 6.4 lets no custom scheme use fetch(); the runtime fetches its code
  // and every movie with it. The reader: scheme goes over XHR instead.
  const nativeFetch = window.fetch.bind(window);
  window.fetch = function (input, init) {
    const request = input instanceof Request ? input : null;
    const url = new URL(request ? request.url : String(input), document.baseURI);
    if (url.protocol !== "reader:") return nativeFetch(input, init);  // refused by the reader anyway
    return new Promise((resolve, reject) => {
      const xhr = new XMLHttpRequest();
      xhr.open("GET", url.href);  // the scheme serves files: no other method means anything
      xhr.responseType = "arraybuffer";
      xhr.onload = () => {
        const status = xhr.status >= 200 && xhr.status <= 599 ? xhr.status : 200;
        const type = xhr.getResponseHeader("Content-Type") || "application/octet-stream";
        const response = new Response(status === 204 ? null : xhr.response,
                                      { status, statusText: xhr.statusText, headers: { "Content-Type": type } });
        Object.defineProperty(response, "url", { value: url.href });
        resolve(response);
      };
      xhr.onerror = () => reject(new TypeError("refused: " + url.href));
      xhr.send();
    });
  };

  // Local storage (the movies' SharedObjects) lives in a file of the
  // reader's: what the movie writes goes to it at once. The runtime reads
  // and writes it by property, so the store is a proxy.
  const data = new Map(Object.entries(window.readerStored || {}));
  const methods = {
    get length() { return data.size; },
    key(i) { return Array.from(data.keys())[i] ?? null; },
    getItem(k) { k = String(k); return data.has(k) ? data.get(k) : null; },
    setItem(k, v) { k = String(k); v = String(v); data.set(k, v); tell("store", k, v); },
    removeItem(k) { k = String(k); if (data.delete(k)) tell("store", k, null); },
    clear() { for (const k of data.keys()) tell("store", k, null); data.clear(); },
  };
  const storage = new Proxy(methods, {
    get(target, key) {
      if (typeof key === "string" && data.has(key)) return data.get(key);
      const value = Reflect.get(target, key);
      return typeof value === "function" ? value.bind(target) : value;
    },
    set(target, key, value) { target.setItem(key, value); return true; },
    deleteProperty(target, key) { target.removeItem(key); return true; },
    has(target, key) { return data.has(String(key)) || key in target; },
    ownKeys() { return Array.from(data.keys()); },
    getOwnPropertyDescriptor(target, key) {
      if (!data.has(String(key))) return undefined;
      return { value: data.get(String(key)), writable: true, enumerable: true, configurable: true };
    },
  });
  Object.defineProperty(window, "localStorage", { value: storage, configurable: false });

  // A picture the runtime draws at (almost) its own size is copied pixel
  // for pixel: filtering it changes nothing one can see, and costs this
  // engine's software canvas about 12 ns a pixel (a spread of two pages at
  // 1536 x 1152: 16 ms a frame). Within 2 % one pixel in fifty at most is
  // doubled or dropped.
  const drawImage = CanvasRenderingContext2D.prototype.drawImage;
  const near = (scale) => Math.abs(scale - 1) <= 0.02;
  CanvasRenderingContext2D.prototype.drawImage = function (...args) {
    if (!this.imageSmoothingEnabled) return drawImage.apply(this, args);
    const m = this.getTransform();
    // drawImage(picture, x, y) or (picture, sx, sy, sw, sh, dx, dy, dw, dh)
    const sx = args.length === 9 ? args[7] / args[3] : 1, sy = args.length === 9 ? args[8] / args[4] : 1;
    if (args.length !== 3 && args.length !== 9 || m.b !== 0 || m.c !== 0 || !near(m.a * sx) || !near(m.d * sy))
      return drawImage.apply(this, args);
    this.imageSmoothingEnabled = false;
    try {
      return drawImage.apply(this, args);
    } finally {
      this.imageSmoothingEnabled = true;
    }
  };

  // A page the movie opens goes to the desktop's browser, never here.
  window.open = function (url) {
    tell("openUrl", String(new URL(String(url), document.baseURI)));
    return null;
  };

  let generation = 0;
  let api = null;

  // The bridge movie says so once it is loaded above the movie.
  window.readerBridgeReady = function () { tell("bridgeReady", generation); };

  function callBridge(name, ...args) {
    try {
      const value = api ? api.callExternalInterface(name, ...args) : undefined;
      return value === undefined || value === null ? "" : String(value);
    } catch (e) {
      return "";
    }
  }

  window.readerHost = {
    load(gen, url) {
      generation = gen;
      const stage = document.getElementById("stage");
      stage.replaceChildren();
      api = null;
      const element = window.RufflePlayer.newest().createPlayer();
      stage.appendChild(element);
      api = element.ruffle();
      api.addFSCommandHandler((command, args) => {
        // Calls into the movie fail while it is in here: the reader gets
        // the command once this has returned.
        tell("fsCommand", gen, String(command ?? ""), String(args ?? ""));
        return true;
      });
      api.load({
        url,
        allowScriptAccess: true,
        autoplay: "on",
        unmuteOverlay: "hidden",
        splashScreen: false,
        letterbox: "on",
        contextMenu: "off",
        scale: "showAll",
        openUrlMode: "allow",
        allowFullscreen: false,
        showSwfDownload: false,
        warnOnUnsupportedContent: false,
        publicPath: "reader://runtime/",
        logLevel: "error",
      }).catch((e) => tell("failed", gen, String(e)));
    },
    // One "=" first: white space alone would reach the movie as "null".
    set(path, value) { callBridge("readerSet", path, "=" + value); },
    call(label) { callBridge("readerCall", label); },
    get(id, name, ...args) { tell("answer", id, callBridge(name, ...args)); },
    // What the other player's movie stored meanwhile (one engine, one storage).
    stored(key, value) {
      if (value === null) data.delete(key);
      else data.set(key, value);
    },
  };

  document.addEventListener("DOMContentLoaded", () => {
    new QWebChannel(qt.webChannelTransport, (channel) => {
      link = channel.objects.link;
      for (const [name, args] of early.splice(0)) link[name](...args);
      link.pageReady();
    });
  });
})();
