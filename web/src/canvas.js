// What the page's canvases share: drawing once a frame, and colours from the style sheet.

// A function that has `draw` run on the next animation frame, once however often it is
// called before then.
export function onNextFrame(draw) {
  let pending = false;
  return () => {
    if (pending) return;
    pending = true;
    requestAnimationFrame(() => {
      pending = false;
      draw();
    });
  };
}

// The colours the style sheet gives `element` by these names: {key: '--custom-property'}.
export function styleColours(element, names) {
  const style = getComputedStyle(element);
  return Object.fromEntries(Object.entries(names)
    .map(([key, property]) => [key, style.getPropertyValue(property).trim()]));
}
