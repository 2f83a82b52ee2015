#!/bin/sh
# Regenerates the BMP files under tests/fixtures/bmp from the tiny sources in tests/fixtures/bmp/src with
# the tools the files are meant to come from. Run once; the results are committed.
set -eu
cd "$(dirname "$0")/../tests/fixtures/bmp"
IM=/usr/bin/convert
PY="env -i /usr/bin/python3"

ppmtobmp -bpp 1 src/bits_5x3.pbm > netpbm_1bit.bmp
ppmtobmp -bpp 4 src/five_by_three.ppm > netpbm_4bit.bmp
$IM src/seven_by_four.ppm -type Palette -compress None BMP3:im_8bit.bmp
$IM src/seven_by_four.ppm -type Palette -compress RLE BMP3:im_rle8.bmp
$IM src/seven_by_four.ppm -type Palette BMP2:im_os2_8bit.bmp
$IM src/five_by_three.ppm -type Palette bmp:im_v5_4bit.bmp
$IM src/five_by_three.ppm -define bmp:subtype=RGB565 bmp:im_v5_rgb565.bmp
$IM src/five_by_three.ppm -alpha on -type TrueColorAlpha bmp:im_v5_32bit.bmp
$PY -c 'from PIL import Image; Image.open("src/five_by_three.ppm").save("pil_24bit.bmp")'
$PY -c 'from PIL import Image; Image.open("src/five_by_three.ppm").convert("RGBA").save("pil_32bit.bmp")'
