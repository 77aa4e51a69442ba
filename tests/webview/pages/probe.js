// Shared by the probe pages: the test server fills in the addresses.
const SECRET = '{{secret}}', MARK = '{{mark}}', PICTURE = '{{picture}}', RESOURCE = '{{resource}}';

function report(name, outcome) {
  return fetch('/report?name=' + encodeURIComponent(name) + '&outcome=' + encodeURIComponent(outcome));
}

// An attempt settles to "got:…" when it reached something, "refused:…" when
// it was turned away, "tried" when only the outside can tell, or "silent"
// when no answer came at all.
function settle(name, attempt) {
  const silence = new Promise(resolve => setTimeout(() => resolve('silent'), 2500));
  let run;
  try {
    run = Promise.resolve(attempt());
  } catch (error) {
    run = Promise.resolve('refused:' + error.name);
  }
  return Promise.race([run.catch(error => 'refused:' + (error && error.name || error)), silence])
      .then(outcome => report(name, outcome));
}

function readText(response) {
  return response.text().then(text => text.includes(MARK) ? 'got:secret' : 'refused:empty');
}
function readBytes(response) {
  return response.arrayBuffer().then(bytes => 'got:' + bytes.byteLength + ' bytes');
}
function readClipboard(text) {
  return text.includes(MARK) ? 'got:secret' : 'refused:empty';
}
function image(source) {
  return new Promise(resolve => {
    const picture = new Image();
    picture.onload = () => resolve('got:' + picture.naturalWidth + 'x' + picture.naturalHeight);
    picture.onerror = () => resolve('refused:error');
    picture.src = source;
  });
}
function xhr(address) {
  return new Promise(resolve => {
    const request = new XMLHttpRequest();
    request.onload = () => resolve(request.responseText.includes(MARK) ? 'got:secret' : 'refused:empty');
    request.onerror = () => resolve('refused:error');
    request.open('GET', address);
    request.send();
  });
}
function frame(source) {
  return new Promise(resolve => {
    const inner = document.createElement('iframe');
    inner.onload = () => {
      let text = null;
      try {
        text = inner.contentDocument.body.innerText;
      } catch (error) {
      }
      resolve(text && text.includes(MARK) ? 'got:secret' : 'refused:' + (text === null ? 'opaque' : 'empty'));
    };
    inner.src = source;
    document.body.appendChild(inner);
  });
}
function redirect(target) {
  return '/redirect?to=' + encodeURIComponent(target);
}
// A window the page could keep and script would still be open a moment later.
function openWindow(address, then) {
  const opened = window.open(address);
  if (opened && then) then(opened);
  return new Promise(resolve => setTimeout(() => resolve(
      opened && !opened.closed ? 'got:open window' : 'refused:' + (opened ? 'closed' : 'null')), 200));
}
function download(address) {
  const anchor = document.createElement('a');
  anchor.href = address;
  anchor.download = 'probe.txt';
  document.body.appendChild(anchor);
  anchor.click();
  return 'tried';
}

// Boxes the test clicks: each reports where it lies, and what its click got.
function link(address, target, downloadName) {
  return name => {
    const anchor = document.createElement('a');
    anchor.href = address;
    if (target) anchor.target = target;
    if (downloadName) anchor.download = downloadName;
    const tried = () => settle('clicked:' + name, () => 'tried');
    anchor.addEventListener('click', tried);
    anchor.addEventListener('auxclick', tried);
    return anchor;
  };
}
function button(attempt) {
  return name => {
    const element = document.createElement('button');
    element.addEventListener('click', () => settle('clicked:' + name, attempt));
    return element;
  };
}
function chooser() {
  return name => {
    const input = document.createElement('input');
    input.type = 'file';
    input.addEventListener('click', () => settle('clicked:' + name, () => 'tried'));
    input.addEventListener('change', () => report('chosen:' + name, String(input.files.length)));
    return input;
  };
}
function layOut(boxes) {
  Object.entries(boxes).forEach(([name, make], index) => {
    const box = document.createElement('div');
    box.className = 'box';
    box.style.left = (index % 8) * 40 + 'px';
    box.style.top = Math.floor(index / 8) * 40 + 'px';
    box.appendChild(make(name));
    document.body.appendChild(box);
    const place = box.getBoundingClientRect();
    report('box:' + name, Math.round(place.left + place.width / 2) + ',' + Math.round(place.top + place.height / 2));
  });
}
