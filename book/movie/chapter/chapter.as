// A chapter's narration, played in the reader's animation window: the host
// sets "playSound" to "true" and calls "showPlayer" (this frame's label).
// The movie tells the host when the narration starts and stops
// ("playAnimation" "true"/"false"), and asks it to switch the narrator's
// animation off or on ("toggleAnimation"). Paused narration starts again
// from the beginning of the chapter.
if (Ready != true) {
  Ready = true;
  Narrating = false;
  Voice = new Sound(this);
  Voice.attachSound("narration");
  Voice.onSoundComplete = function() {
    Stop();
  };

  function Start() {
    Voice.stop();
    Voice.start(0, 1);
    Narrating = true;
    fscommand("playAnimation", "true");
    Draw();
  }

  function Stop() {
    Voice.stop();
    Narrating = false;
    fscommand("playAnimation", "false");
    Draw();
  }

  function Inside(r, x, y) {
    return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
  }

  function Circle(m, cx, cy, rx, ry) {
    m.moveTo(cx + rx, cy);
    m.curveTo(cx + rx, cy + ry * 0.4142, cx + rx * 0.7071, cy + ry * 0.7071);
    m.curveTo(cx + rx * 0.4142, cy + ry, cx, cy + ry);
    m.curveTo(cx - rx * 0.4142, cy + ry, cx - rx * 0.7071, cy + ry * 0.7071);
    m.curveTo(cx - rx, cy + ry * 0.4142, cx - rx, cy);
    m.curveTo(cx - rx, cy - ry * 0.4142, cx - rx * 0.7071, cy - ry * 0.7071);
    m.curveTo(cx - rx * 0.4142, cy - ry, cx, cy - ry);
    m.curveTo(cx + rx * 0.4142, cy - ry, cx + rx * 0.7071, cy - ry * 0.7071);
    m.curveTo(cx + rx, cy - ry * 0.4142, cx + rx, cy);
  }

  // The two buttons: play or pause, and the narrator's face for the
  // animation switch; a bar that fills while the narration runs.
  function Draw() {
    var m = _root.Buttons;
    m.clear();
    var p = LAYOUT.play, a = LAYOUT.animation;
    m.lineStyle(2, 0xe8d9a8, 100);
    m.beginFill(0x122c45, 100);
    Circle(m, p.x + p.w / 2, p.y + p.h / 2, p.w / 2, p.h / 2);
    m.endFill();
    m.beginFill(0x122c45, 100);
    Circle(m, a.x + a.w / 2, a.y + a.h / 2, a.w / 2, a.h / 2);
    m.endFill();
    m.lineStyle();
    var cx = p.x + p.w / 2, cy = p.y + p.h / 2;
    m.beginFill(0xe8d9a8, 100);
    if (Narrating) {
      m.moveTo(cx - 8, cy - 10);
      m.lineTo(cx - 2, cy - 10);
      m.lineTo(cx - 2, cy + 10);
      m.lineTo(cx - 8, cy + 10);
      m.moveTo(cx + 2, cy - 10);
      m.lineTo(cx + 8, cy - 10);
      m.lineTo(cx + 8, cy + 10);
      m.lineTo(cx + 2, cy + 10);
    } else {
      m.moveTo(cx - 7, cy - 11);
      m.lineTo(cx + 11, cy);
      m.lineTo(cx - 7, cy + 11);
    }
    m.endFill();
    var fx = a.x + a.w / 2, fy = a.y + a.h / 2;
    m.beginFill(0xe8d9a8, 100);
    Circle(m, fx, fy, 10, 11);
    m.endFill();
    m.beginFill(0x122c45, 100);
    Circle(m, fx - 4, fy - 2, 1.6, 2);
    Circle(m, fx + 4, fy - 2, 1.6, 2);
    Circle(m, fx, fy + 5, 3, Narrating ? 2.5 : 1);
    m.endFill();
    DrawProgress();
  }

  function DrawProgress() {
    var bar = _root.Progress;
    bar.clear();
    var w = 217 - 152;
    bar.beginFill(0xe8d9a8, 80);
    bar.moveTo(140, 64);
    bar.lineTo(140 + w, 64);
    bar.lineTo(140 + w, 70);
    bar.lineTo(140, 70);
    bar.endFill();
    if (Narrating && Voice.duration > 0) {
      var done = w * Math.min(1, Voice.position / Voice.duration);
      bar.beginFill(0xe8d9a8, 100);
      bar.moveTo(140, 64);
      bar.lineTo(140 + done, 64);
      bar.lineTo(140 + done, 70);
      bar.lineTo(140, 70);
      bar.endFill();
    }
  }

  this.createEmptyMovieClip("Buttons", 10);
  this.createEmptyMovieClip("Progress", 11);
  _root.Progress.onEnterFrame = function() {
    if (Narrating) DrawProgress();
  };
  var mouse = {};
  mouse.onMouseUp = function() {
    var x = _root._xmouse, y = _root._ymouse;
    if (Inside(LAYOUT.play, x, y)) {
      if (Narrating) Stop();
      else Start();
    } else if (Inside(LAYOUT.animation, x, y)) {
      fscommand("toggleAnimation", "");
    }
  };
  Mouse.addListener(mouse);
  Draw();
}
if (playSound == "true") Start();
stop();
