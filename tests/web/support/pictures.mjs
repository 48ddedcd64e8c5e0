// The pictures of the browser tests, made at test time: BMPs by the project's BMP writer,
// PNG and JPEG variants by ImageMagick (ExifTool for the orientation tag), damaged files by
// cutting good ones. Each PNG's header is checked, so that an encoder's own choice of colour
// type can never leave a decoder path untested.
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const corpus = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../corpus');

// pixel(row, column) of every BMP, as (blue, green, red): reds climb along the first stored
// row (pitches), blues vary in the middle row (times to the next note).
const bmpPixel = 'lambda r, c: ((c * 53 + r * 7) % 256, (c * 13) % 256, (c * 37 + r * 11) % 256)';

// Runs a Python script with the project's BMP writer as bmp_bytes; its arguments from
// sys.argv[2] on.
function withBmpWriter(script, ...args) {
  const prelude = 'import sys; sys.path.insert(0, sys.argv[1]); import bmp_bytes';
  execFileSync('python3', ['-c', `${prelude}\n${script}`, corpus, ...args]);
}

function writeBmp(file, width, height, pixel = bmpPixel) {
  withBmpWriter(`open(sys.argv[2], "wb").write(bmp_bytes.picture(${width}, ${height}, pixel=${pixel}))`, file);
}

function magick(...args) {
  execFileSync('convert', args);
}

const pngColourTypes = { grey: 0, rgb: 2, palette: 3, rgba: 6 };

// Throws unless the PNG's header says the given colour type, bit depth and interlacing.
function expectPngHeader(file, { colour, depth, interlaced = false }) {
  const header = readFileSync(file).subarray(16, 29);
  const actual = { depth: header[8], colour: header[9], interlace: header[12] };
  const wanted = { depth, colour: pngColourTypes[colour], interlace: interlaced ? 1 : 0 };
  if (JSON.stringify(actual) !== JSON.stringify(wanted)) {
    throw new Error(`${file}: made as ${JSON.stringify(actual)}, wanted ${JSON.stringify(wanted)}`);
  }
}

function cut(source, file, fraction) {
  const bytes = readFileSync(source);
  writeFileSync(file, bytes.subarray(0, Math.floor(bytes.length * fraction)));
}

// Makes every picture in dir; returns their paths by name.
export function makePictures(dir) {
  const at = (name) => path.join(dir, name);
  const source = at('source.ppm');
  // Not square, odd sizes: a rotated or padded read shows in the notes.
  magick('-seed', '3', '-size', '211x37', 'plasma:fractal', source);

  writeBmp(at('one-pixel.bmp'), 1, 1);
  writeBmp(at('padded-3x5.bmp'), 3, 5);
  writeBmp(at('wide-641x48.bmp'), 641, 48);

  const pngs = [
    ['rgb8.png', ['PNG24:'], { colour: 'rgb', depth: 8 }],
    ['rgba8.png', ['-alpha', 'set', '-channel', 'A', '-fx', 'i/w', '+channel', 'PNG32:'],
      { colour: 'rgba', depth: 8 }],
    ['palette.png', ['-colors', '40', 'PNG8:'], { colour: 'palette', depth: 8 }],
    ['grey8.png', ['-colorspace', 'Gray', '-define', 'png:color-type=0', '-depth', '8', 'PNG:'],
      { colour: 'grey', depth: 8 }],
    ['rgb16.png', ['-depth', '16', 'PNG48:'], { colour: 'rgb', depth: 16 }],
    ['interlaced.png', ['-interlace', 'PNG', 'PNG24:'], { colour: 'rgb', depth: 8, interlaced: true }],
  ];
  for (const [name, args, header] of pngs) {
    const prefix = args.at(-1);
    magick(source, ...args.slice(0, -1), prefix + at(name));
    expectPngHeader(at(name), header);
  }

  magick(source, '-quality', '85', at('baseline.jpg'));
  // A name starting with "-": the command line shown must not pass it as an option.
  magick(source, '-quality', '85', '-interlace', 'JPEG', at('-progressive.jpg'));
  // Orientation 6 (rotate 90 degrees to view): a browser's decoder turns the picture, the
  // converter reads it as stored.
  magick(source, '-quality', '85', at('exif-rotated.jpg'));
  execFileSync('exiftool', ['-q', '-n', '-Orientation=6', '-overwrite_original', at('exif-rotated.jpg')]);
  // A name the shown command line must quote.
  magick(source, '-quality', '70', '-sampling-factor', '4:4:4', at("dad's photo.jpg"));

  // 40,000 columns: wider than a browser's canvas may be (and than ImageMagick's policy).
  execFileSync('python3', [path.join(corpus, 'costly_pictures.py'), 'wide', '40000', at('wide-40000.png')]);

  // Low reds in the left half, high reds in the right: notes low then high on the roll.
  writeBmp(at('low-then-high.bmp'), 64, 3, 'lambda r, c: (200, 0, 30 if c < 32 else 110)');

  cut(at('rgb8.png'), at('cut.png'), 0.5);
  cut(at('baseline.jpg'), at('cut.jpg'), 0.5);
  writeFileSync(at('notes.txt'), 'Not a picture: a shopping list.\n');

  const names = [
    'one-pixel.bmp', 'padded-3x5.bmp', 'wide-641x48.bmp', ...pngs.map(([name]) => name),
    'baseline.jpg', '-progressive.jpg', 'exif-rotated.jpg', "dad's photo.jpg", 'wide-40000.png',
    'low-then-high.bmp', 'cut.png', 'cut.jpg', 'notes.txt',
  ];
  return Object.fromEntries(names.map((name) => [name, at(name)]));
}

// The pictures of the studio's tests, beside those of makePictures: a BMP of 8 bits a pixel,
// a PNG wider than the converter takes, a BMP cut short, a PNG of four million columns whose
// conversion takes seconds, and a BMP over the 64 MiB the worker keeps (the page reads it
// anew for every conversion).
export function makeStudioPictures(dir, pictures) {
  const at = (name) => path.join(dir, name);
  withBmpWriter('open(sys.argv[2], "wb").write(bmp_bytes.picture(4, 4, bit_count=8))', at('paletted.bmp'));
  const costly = path.join(corpus, 'costly_pictures.py');
  execFileSync('python3', [costly, 'wide', String(2 ** 24 + 1), at('too-wide.png')]);
  execFileSync('python3', [costly, 'wide', '4000000', at('slow.png')]);
  cut(pictures['wide-641x48.bmp'], at('cut-641x48.bmp'), 0.9);
  return {
    'paletted.bmp': at('paletted.bmp'), 'too-wide.png': at('too-wide.png'), 'slow.png': at('slow.png'),
    'cut-641x48.bmp': at('cut-641x48.bmp'),
  };
}

// A BMP of over 64 MiB at `file`: reds climbing along its first row, the rest black.
export function writeLargeBmp(file) {
  const script = `width, height = 5000, 4500
stride = bmp_bytes.row_stride(width)
data = bytearray(stride * height)
data[0:3 * width] = bytes((i * 37) % 256 for i in range(3 * width))
open(sys.argv[2], "wb").write(bmp_bytes.header(width, height, len(data)) + bytes(data))`;
  withBmpWriter(script, file);
}
