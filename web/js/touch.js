// A finger on the stage, turned into the inputs the core already has, which decides what each does on the screen
// shown: a tap is the core's tap (a click, or closing the open history); a long press is the right click; a swipe
// turns the wheel (down to go back through the history, up to go forward and read on); a tap of two fingers is
// the middle click (the text hidden).
const LONG_PRESS_MS = 500;
const MOVE_PIXELS = 12; // a finger that moves less is still tapping
const NOTCH_PIXELS = 48; // the swipe that turns the wheel one notch
const TWO_FINGER_TAP_MS = 400;
const RIGHT = 2;
const MIDDLE = 4;

// `core`: tap(x, y), press(x, y, button), wheel(notches); `stagePoint(event)`: [x, y] on the stage.
export function wireTouch(canvas, core, stagePoint) {
  const fingers = new Map(); // pointerId -> { x, y } where it went down, in page pixels
  let gesture = null;
  const isTouch = (event) => event.pointerType === 'touch';

  canvas.addEventListener('pointerdown', (event) => {
    if (!isTouch(event)) return;
    fingers.set(event.pointerId, { x: event.clientX, y: event.clientY });
    if (fingers.size === 2 && gesture && !gesture.moved && performance.now() - gesture.at < TWO_FINGER_TAP_MS) {
      clearTimeout(gesture.longPress);
      gesture.twoFingers = true;
      return;
    }
    if (fingers.size > 1) return;
    const point = stagePoint(event);
    gesture = { id: event.pointerId, point, at: performance.now(), moved: false, travel: 0, lastY: event.clientY, done: false };
    gesture.longPress = setTimeout(() => {
      gesture.done = true;
      core.press(...point, RIGHT);
    }, LONG_PRESS_MS);
  });

  canvas.addEventListener('pointermove', (event) => {
    if (!isTouch(event) || !gesture || gesture.id !== event.pointerId || gesture.twoFingers || gesture.done) return;
    const start = fingers.get(event.pointerId);
    if (!gesture.moved && Math.hypot(event.clientX - start.x, event.clientY - start.y) < MOVE_PIXELS) return;
    gesture.moved = true;
    clearTimeout(gesture.longPress);
    gesture.travel += event.clientY - gesture.lastY;
    gesture.lastY = event.clientY;
    const notches = Math.trunc(gesture.travel / NOTCH_PIXELS);
    if (!notches) return;
    gesture.travel -= notches * NOTCH_PIXELS;
    core.wheel(-notches); // a finger moving down pulls the older text into view: the wheel turned up
  });

  const lift = (event) => {
    if (!isTouch(event) || !fingers.delete(event.pointerId) || !gesture) return;
    if (fingers.size) return; // the gesture ends with its last finger
    clearTimeout(gesture.longPress);
    const ended = gesture;
    gesture = null;
    if (event.type === 'pointercancel' || ended.done) return;
    if (ended.twoFingers) core.press(...ended.point, MIDDLE);
    else if (!ended.moved) core.tap(...ended.point);
  };
  canvas.addEventListener('pointerup', lift);
  canvas.addEventListener('pointercancel', lift);
}
