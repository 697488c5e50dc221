// The bridge: loaded into level 99 above every movie the runtime plays, it
// lets the host reach the movie in _level0 as Flash's own player control
// does. Every callback takes text and gives text, and runs the request as
// ActionScript on _level0 (tellTarget), so a path means there what it
// means to that movie: "/clip/arr:3.field", "clip.name", "name".
//
// eval and set look a plain name up in the callback's own scope before
// _level0's, so the parameters have names no book uses ($reader...), and
// the callbacks keep no other locals.
import flash.external.ExternalInterface;

stop();

// The value at a path as String() gives it; what is not there is "".
ExternalInterface.addCallback("readerGet", null, function ($readerPath) {
  tellTarget ("_level0") {
    $readerPath = eval($readerPath);
  }
  return $readerPath === undefined ? "" : String($readerPath);
});

// What the host sets is always text; nothing (null, undefined) is "". It
// comes with one "=" before it: the runtime's ExternalInterface hands a
// text of nothing but white space ("", " ", "\n") over as "null".
ExternalInterface.addCallback("readerSet", null, function ($readerPath, $readerValue) {
  $readerValue = $readerValue == null ? "" : String($readerValue).substring(1);
  tellTarget ("_level0") {
    set($readerPath, $readerValue);
  }
});

// A frame label (or number) of _level0, or "/clip:label", run as call() runs it.
ExternalInterface.addCallback("readerCall", null, function ($readerLabel) {
  tellTarget ("_level0") {
    call($readerLabel);
  }
});

ExternalInterface.addCallback("readerFrame", null, function () {
  return String(_level0._currentframe);
});
ExternalInterface.addCallback("readerTotalFrames", null, function () {
  return String(_level0._totalframes);
});
ExternalInterface.addCallback("readerFramesLoaded", null, function () {
  return String(_level0._framesloaded);
});

ExternalInterface.call("readerBridgeReady");
