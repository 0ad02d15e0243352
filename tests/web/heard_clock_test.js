// The page's heard-time reckoning (web/page/heard_clock.js) in node, with the
// answers engines give: a true output timestamp is used, one on another
// clock (WebKitGTK's performanceTime runs at about twice performance.now())
// or pointing where nothing can be heard is given up for good, and without
// one the rendering position less the latencies is the heard moment.
//
//   node heard_clock_test.js PATH/TO/heard_clock.js
'use strict';

const assert = require('node:assert/strict');
const test = require('node:test');
const path = require('node:path');

const {HeardClock} = require(path.resolve(process.argv[2]));

const warnings = [];
console.warn = (text) => warnings.push(text);

// An engine's context as the page sees it: its rendering position runs with
// the wall clock from wallStartMs, the output lags it by latency seconds, and
// its stamp's performanceTime is performance.now() times stampPace.
function engine({stampPace = 1, latency = 0.04, wallStartMs = 30000, hasStamp = true}) {
  return {
    at(nowMs) {
      const currentTime = (nowMs - wallStartMs) / 1000;
      // The stamp was taken at the last 10 ms render callback.
      const takenMs = nowMs - (nowMs % 10);
      const stamp = hasStamp
          ? {contextTime: (takenMs - wallStartMs) / 1000 - latency, performanceTime: takenMs * stampPace}
          : null;
      return [stamp, nowMs, currentTime, latency, 0];
    },
  };
}

test('a true timestamp gives the moment heard, carried on to now', () => {
  const clock = new HeardClock();
  const heard = clock.heardSeconds({contextTime: 10, performanceTime: 50000}, 50015, 10.06, 0.04, 0.01);
  assert.ok(Math.abs(heard - 10.015) < 1e-9, String(heard));
  assert.equal(clock.trustStamps, true);
});

test('a stamp on a clock twice as fast is given up, and the heard time runs in real time', () => {
  warnings.length = 0;
  const clock = new HeardClock();
  const webkit = engine({stampPace: 2});
  const first = clock.heardSeconds(...webkit.at(32278));
  const later = clock.heardSeconds(...webkit.at(37278));
  assert.equal(clock.trustStamps, false);
  assert.match(clock.why, /performanceTime/);
  assert.equal(warnings.length, 1);
  assert.ok(Math.abs(later - first - 5) < 1e-6, 'advanced ' + (later - first) + ' s in 5 s');
  // What trusting it blindly made of it: a moment before the context began.
  const [stamp, now] = webkit.at(37278);
  assert.ok(stamp.contextTime + (now - stamp.performanceTime) / 1000 < 0);
});

test('once given up, even a plausible stamp is not used again for that context', () => {
  const clock = new HeardClock();
  clock.heardSeconds({contextTime: 1, performanceTime: 99999}, 1000, 1.05, 0.02, 0);
  assert.equal(clock.trustStamps, false);
  const heard = clock.heardSeconds({contextTime: 2, performanceTime: 2000}, 2005, 2.05, 0.02, 0.01);
  assert.ok(Math.abs(heard - 2.02) < 1e-9, String(heard));
});

test('a stamp pointing ahead of the rendering, or a second behind it, is not believed', () => {
  for (const [contextTime, currentTime] of [[5.2, 5.0], [3.0, 5.0]]) {
    const clock = new HeardClock();
    const heard = clock.heardSeconds({contextTime, performanceTime: 1000}, 1000, currentTime, 0.03, 0);
    assert.equal(clock.trustStamps, false);
    assert.match(clock.why, /rendering/);
    assert.ok(Math.abs(heard - (currentTime - 0.03)) < 1e-9, String(heard));
  }
});

test('a stamp a busy engine dates ahead of now, as Chromium does under load, is kept', () => {
  // Chromium's performanceTime was seen up to 79 ms after performance.now()
  // on a loaded machine: the stamp still holds, and the heard moment is
  // carried back by that much.
  for (const aheadMs of [79, HeardClock.STAMP_AHEAD_MOST_MS]) {
    const clock = new HeardClock();
    const heard = clock.heardSeconds({contextTime: 7, performanceTime: 20000 + aheadMs}, 20000, 7.1,
                                     0.03, 0);
    assert.equal(clock.trustStamps, true, 'a stamp ' + aheadMs + ' ms ahead was given up');
    assert.ok(Math.abs(heard - (7 - aheadMs / 1000)) < 1e-9, String(heard));
  }
});

test('a stamp dated further ahead than that is given up, as WebKitGTK\'s two seconds ahead', () => {
  for (const aheadMs of [HeardClock.STAMP_AHEAD_MOST_MS + 1, 2098]) {
    const clock = new HeardClock();
    clock.heardSeconds({contextTime: 7, performanceTime: 20000 + aheadMs}, 20000, 7.1, 0.03, 0);
    assert.equal(clock.trustStamps, false, 'a stamp ' + aheadMs + ' ms ahead was kept');
    assert.match(clock.why, /performanceTime/);
  }
});

test('a stamp taken more than a second ago is not believed', () => {
  const clock = new HeardClock();
  clock.heardSeconds({contextTime: 4, performanceTime: 1000}, 2500, 4.1, 0, 0);
  assert.equal(clock.trustStamps, false);
});

test('without a stamp, the rendering position less the latencies the context reports', () => {
  const clock = new HeardClock();
  assert.ok(Math.abs(clock.heardSeconds(null, 100, 3.5, 0.1, 0.02) - 3.38) < 1e-9);
  // An engine without outputLatency or baseLatency: the rendering position.
  assert.equal(clock.heardSeconds(null, 100, 3.5, undefined, undefined), 3.5);
  // Never before the context's start.
  assert.equal(clock.heardSeconds(null, 100, 0.01, 0.1, 0.02), 0);
  assert.equal(clock.trustStamps, true);
});

test('a stamp of an output not yet started (zeros) falls back without giving stamps up', () => {
  const clock = new HeardClock();
  const heard = clock.heardSeconds({contextTime: 0, performanceTime: 0}, 500, 0.2, 0.05, 0);
  assert.ok(Math.abs(heard - 0.15) < 1e-9, String(heard));
  assert.equal(clock.trustStamps, true);
});

test('an engine without getOutputTimestamp and one with a true stamp agree within a render callback', () => {
  for (const nowMs of [31000, 40007, 95555]) {
    const withStamp = new HeardClock().heardSeconds(...engine({}).at(nowMs));
    const without = new HeardClock().heardSeconds(...engine({hasStamp: false}).at(nowMs));
    assert.ok(Math.abs(withStamp - without) <= 0.010 + 1e-9, withStamp + ' against ' + without);
  }
});

test('a live context is read through its own methods where it has them', () => {
  globalThis.performance = globalThis.performance || {now: () => 0};
  const clock = new HeardClock();
  const context = {currentTime: 2, outputLatency: 0.05, baseLatency: 0.01};
  assert.ok(Math.abs(clock.heardContextSeconds(context) - 1.94) < 1e-9);
});

// Firefox's stamp: currentTime and performance.now() each set back by its
// outputLatency, both read now; carried on to now it says the frame being
// rendered is heard.
function firefoxStamp(currentTime, nowMs, latency) {
  return {contextTime: currentTime - latency, performanceTime: nowMs - latency * 1000};
}

test('a stamp that only restates the rendering position is given up for its latency', () => {
  warnings.length = 0;
  const clock = new HeardClock();
  let reads = 0;
  const latency = () => { ++reads; return 0.2; };
  const heard = clock.heardSeconds(firefoxStamp(5, 40000, 0.043), 40000, 5, latency, 0);
  assert.equal(clock.trustStamps, false);
  assert.match(clock.why, /rendering position/);
  assert.equal(warnings.length, 1);
  // The stamp's own latency, not the rendering position it claimed.
  assert.equal(reads, 1);
  assert.ok(Math.abs(heard - 4.8) < 1e-9, String(heard));
});

test('a true stamp a render quantum behind the rendering is kept', () => {
  const clock = new HeardClock();
  const quantum = 128 / 44100;
  const heard = clock.heardSeconds({contextTime: 5 - quantum, performanceTime: 40000}, 40000, 5, 0.5, 0);
  assert.equal(clock.trustStamps, true, clock.why);
  assert.ok(Math.abs(heard - (5 - quantum)) < 1e-9, String(heard));
});

// A live context whose every stamp and outputLatency read is counted: each
// is a question to the audio output.
function countedContext(latency, now = () => performance.now()) {
  const context = {currentTime: 3, baseLatency: 0, asked: 0};
  Object.defineProperty(context, 'outputLatency', {get() { ++context.asked; return latency; }});
  context.getOutputTimestamp = () => {
    ++context.asked;
    return firefoxStamp(context.currentTime, now(), latency);
  };
  return context;
}

test('where the stamps restate the rendering, the output is asked once, then each half minute', () => {
  // The page's clock is the test's: a minute passes at once.
  let nowMs = 50000;
  const clock = new HeardClock(() => nowMs);
  const context = countedContext(0.07, () => nowMs);
  for (let frame = 0; frame < 3600; ++frame) {  // a minute at 60 frames a second
    const heard = clock.heardContextSeconds(context);
    assert.ok(Math.abs(heard - (context.currentTime - 0.07)) < 1e-9, String(heard));
    nowMs += 1000 / 60;
    context.currentTime += 1 / 60;
  }
  // The first stamp (its latency kept), then one latency read each half minute.
  assert.ok(context.asked <= 3, 'asked ' + context.asked + ' times');
  assert.ok(context.asked >= 2, 'asked ' + context.asked + ' times');
});
