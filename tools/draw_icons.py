#!/usr/bin/python3
"""Draws the button and window pictures into resources/icons/, and the programs' icons at the desktop's
usual sizes into resources/hicolor/ (installed into the hicolor icon theme).

Run from the repository root: env -i /usr/bin/python3 tools/draw_icons.py
Everything is drawn at 4x and downsampled, so edges come out smooth.
"""
import math
import os

from PIL import Image, ImageDraw

SCALE = 4
RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
OUT_DIR = os.path.join(RESOURCES, "icons")
HICOLOR_DIR = os.path.join(RESOURCES, "hicolor")
HICOLOR_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

INK, WHITE, PAPER, GREY, LGREY = "#303030", "#ffffff", "#f7f7f4", "#a0a4a8", "#d8dcdf"
BLUE, LBLUE, GREEN, LGREEN = "#3b7dd8", "#9cc8f2", "#3aa655", "#8fd27a"
RED, PINK, ORANGE, BROWN = "#dc3b2e", "#ee8f9c", "#ec8a2c", "#a86b38"
YELLOW, LYELLOW, WOOD = "#f4c430", "#fbe38a", "#f1d3a2"


class Icon:
    """A canvas of size pixels for a drawing made in design units (a design of 64 units fills it at
    any size); all coordinates are scaled by SCALE when drawn."""

    def __init__(self, size, design=None):
        design = design or size
        self.size = size
        self.k = SCALE * size / design  # canvas pixels per design unit
        self.img = Image.new("RGBA", (size * SCALE, size * SCALE), (0, 0, 0, 0))
        self.d = ImageDraw.Draw(self.img, "RGBA")  # blend translucent strokes
        # Outline weight grows with the design so small and large ones look alike; drawn smaller than its
        # design, an outline keeps at least one pixel.
        self.w = max({20: 1.25, 32: 1.5, 64: 2.5}.get(design, design / 24), design / size)

    def _pts(self, pts):
        return [(x * self.k, y * self.k) for x, y in pts]

    def _box(self, box):
        return [v * self.k for v in box]

    def line(self, pts, color=INK, w=None, caps=True):
        w = self.w if w is None else w
        self.d.line(self._pts(pts), fill=color, width=round(w * self.k), joint="curve")
        if caps:
            for x, y in (pts[0], pts[-1]):
                self.dot(x, y, w / 2, color)

    def dot(self, x, y, r, color=INK):
        self.d.ellipse(self._box((x - r, y - r, x + r, y + r)), fill=color)

    def poly(self, pts, fill=None, outline=INK, w=None):
        w = self.w if w is None else w
        if fill:
            self.d.polygon(self._pts(pts), fill=fill)
        if outline:
            self.line(list(pts) + [pts[0]], outline, w, caps=False)
            for x, y in pts:  # rounds the corners
                self.dot(x, y, w / 2, outline)

    def rect(self, x0, y0, x1, y1, fill=None, outline=INK, w=None, r=0):
        w = self.w if w is None else w
        h = w / 2 if outline else 0  # keep the stroke centred on the edge
        self.d.rounded_rectangle(self._box((x0 - h, y0 - h, x1 + h, y1 + h)), radius=(r + h) * self.k,
                                 fill=fill, outline=outline, width=round(w * self.k))

    def ellipse(self, x0, y0, x1, y1, fill=None, outline=INK, w=None):
        w = self.w if w is None else w
        h = w / 2 if outline else 0
        self.d.ellipse(self._box((x0 - h, y0 - h, x1 + h, y1 + h)), fill=fill, outline=outline,
                       width=round(w * self.k))

    def arc(self, cx, cy, r, start, end, color=INK, w=None):
        w = self.w if w is None else w
        self.d.arc(self._box((cx - r - w / 2, cy - r - w / 2, cx + r + w / 2, cy + r + w / 2)),
                   start, end, fill=color, width=round(w * self.k))

    def save(self, path, mirror=False):
        img = self.img.transpose(Image.FLIP_LEFT_RIGHT) if mirror else self.img
        # Premultiply so transparent pixels do not bleed dark fringes into the edges.
        small = img.convert("RGBa").resize((self.size, self.size), Image.LANCZOS).convert("RGBA")
        small.save(path)


def along(origin, angle, u, v):
    """A point u along and v across a direction given in degrees (screen y grows downward)."""
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    return (origin[0] + u * c - v * s, origin[1] + u * s + v * c)


def arrow(ic, start, end, shaft, head_w, head_l, fill=GREEN):
    ang = math.degrees(math.atan2(end[1] - start[1], end[0] - start[0]))
    n = math.hypot(end[0] - start[0], end[1] - start[1])
    pts = [(0, -shaft / 2), (n - head_l, -shaft / 2), (n - head_l, -head_w / 2), (n, 0),
           (n - head_l, head_w / 2), (n - head_l, shaft / 2), (0, shaft / 2)]
    ic.poly([along(start, ang, u, v) for u, v in pts], fill)


def pencil(ic, tip, angle, length, thick):
    """A pencil whose point is at tip, lying along angle."""
    t = thick / 2
    cone, ferrule = length * 0.26, length * 0.84

    def p(u, v):
        return along(tip, angle, u, v)

    ic.poly([p(cone, -t), p(ferrule, -t), p(ferrule, t), p(cone, t)], YELLOW)
    ic.line([p(cone, 0), p(ferrule, 0)], ORANGE, ic.w * 0.7, caps=False)
    ic.poly([p(0, 0), p(cone, -t), p(cone, t)], WOOD)
    ic.poly([p(0, 0), p(cone * 0.4, -t * 0.4), p(cone * 0.4, t * 0.4)], INK)
    ic.poly([p(ferrule, -t), p(length * 0.9, -t), p(length * 0.9, t), p(ferrule, t)], GREY)
    ic.poly([p(length * 0.9, -t), p(length, -t), p(length, t), p(length * 0.9, t)], PINK)


def sheet(ic, x0, y0, x1, y1, fold=6):
    ic.poly([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], PAPER)
    ic.poly([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], LGREY)


def floppy(ic, x0, y0, x1, y1):
    sw, sh = x1 - x0, y1 - y0
    ic.poly([(x0, y0), (x1 - sw * 0.14, y0), (x1, y0 + sh * 0.14), (x1, y1), (x0, y1)], BLUE)
    ic.rect(x0 + sw * 0.22, y0, x1 - sw * 0.2, y0 + sh * 0.34, LGREY)
    ic.rect(x0 + sw * 0.52, y0 + sh * 0.07, x0 + sw * 0.64, y0 + sh * 0.26, INK, None)
    ic.rect(x0 + sw * 0.16, y0 + sh * 0.52, x1 - sw * 0.16, y1, WHITE)
    for f in (0.66, 0.82):
        ic.line([(x0 + sw * 0.28, y0 + sh * f), (x1 - sw * 0.28, y0 + sh * f)], LBLUE, ic.w * 0.8)


def red_x(ic, cx, cy, r, disc=True):
    if disc:
        ic.ellipse(cx - r, cy - r, cx + r, cy + r, RED)
        k = r * 0.45
        ic.line([(cx - k, cy - k), (cx + k, cy + k)], WHITE, ic.w * 1.3)
        ic.line([(cx - k, cy + k), (cx + k, cy - k)], WHITE, ic.w * 1.3)
    else:
        for a, b in (((-r, -r), (r, r)), ((-r, r), (r, -r))):
            seg = [(cx + a[0], cy + a[1]), (cx + b[0], cy + b[1])]
            ic.line(seg, INK, ic.w * 2.6)
            ic.line(seg, RED, ic.w * 1.2)


def film(ic, x0, y0, x1, y1, frames=3):
    ic.rect(x0, y0, x1, y1, "#4a4a4a", r=1)
    h = y1 - y0
    hole = h * 0.12
    step = (x1 - x0) / (frames * 2)
    for i in range(frames * 2):
        x = x0 + step * (i + 0.5)
        for y in (y0 + h * 0.13, y1 - h * 0.13 - hole):
            ic.rect(x - hole / 2, y, x + hole / 2, y + hole, WHITE, None)
    fw = (x1 - x0) / frames
    for i in range(frames):
        ic.rect(x0 + fw * i + fw * 0.12, y0 + h * 0.34, x0 + fw * (i + 1) - fw * 0.12, y1 - h * 0.34,
                LBLUE, None, r=0.5)


def picture(ic, x0, y0, x1, y1):
    ic.rect(x0, y0, x1, y1, LBLUE)
    w, h = x1 - x0, y1 - y0
    ic.ellipse(x1 - w * 0.34, y0 + h * 0.14, x1 - w * 0.12, y0 + h * 0.14 + w * 0.22, YELLOW, None)
    ic.poly([(x0, y1), (x0, y0 + h * 0.7), (x0 + w * 0.34, y0 + h * 0.36), (x0 + w * 0.62, y0 + h * 0.68),
             (x0 + w * 0.76, y0 + h * 0.56), (x1, y0 + h * 0.78), (x1, y1)], GREEN, None)
    ic.rect(x0, y0, x1, y1)


def tile_grid(ic, x0, y0, x1, y1, colors, n):
    """n x n coloured tiles with a light bevel, framed."""
    s = (x1 - x0) / n
    for j in range(n):
        for i in range(n):
            tx, ty = x0 + s * i, y0 + s * j
            ic.rect(tx, ty, tx + s, ty + s, colors[(j * n + i) % len(colors)], None)
            ic.line([(tx + s * 0.18, ty + s * 0.8), (tx + s * 0.18, ty + s * 0.18), (tx + s * 0.8, ty + s * 0.18)],
                    (255, 255, 255, 110), ic.w * 0.8)
    for k in range(1, n):
        ic.line([(x0 + s * k, y0), (x0 + s * k, y1)], INK, ic.w * 0.8, caps=False)
        ic.line([(x0, y0 + s * k), (x1, y0 + s * k)], INK, ic.w * 0.8, caps=False)
    ic.rect(x0, y0, x1, y1)


ICONS = []  # (file name, size, drawing function, file name of its mirror image or None)


def icon(size, mirror=None):
    def register(fn, name=None):
        ICONS.append((name or fn.__name__, size, fn, mirror))
        return fn
    return register


# Workspace tool bar -------------------------------------------------------------------------------

@icon(32)
def tlb_exit(ic):
    ic.rect(4, 3, 20, 29, "#6b4a2c")
    ic.poly([(4, 3), (14, 6), (14, 31), (4, 29)], BROWN)
    ic.dot(11.5, 17, 1.2, YELLOW)
    arrow(ic, (15, 16), (30, 16), 5, 11, 6.5)


@icon(32)
def tlb_new(ic):
    sheet(ic, 5, 3, 25, 29)
    cx, cy, r = 23, 22, 8.5
    star = [along((cx, cy), a * 45 - 90, r if a % 2 == 0 else r * 0.36, 0) for a in range(8)]
    ic.poly(star, YELLOW)


@icon(32)
def tlb_open(ic):
    ic.poly([(3, 7), (11, 7), (13.5, 10), (26, 10), (26, 27), (3, 27)], "#d99a22")
    ic.poly([(7, 14), (30, 14), (26, 27), (3, 27)], YELLOW)


@icon(32)
def tlb_save(ic):
    floppy(ic, 4, 4, 28, 28)


@icon(32)
def tlb_saveas(ic):
    floppy(ic, 2, 2, 23, 23)
    pencil(ic, (12, 29), -45, 24, 6)


@icon(32)
def tlb_close(ic):
    sheet(ic, 4, 3, 22, 27)
    red_x(ic, 23, 23, 7)


@icon(32)
def tlb_import(ic):
    picture(ic, 9, 10, 30, 29)
    for k in (1, 2):  # dashed cut lines: the picture becomes tiles
        x, y = 9 + 7 * k, 10 + 19 / 3 * k
        for t in range(3):
            ic.line([(x, 10 + t * 7 + 1), (x, 10 + t * 7 + 4)], WHITE, 1.2, caps=False)
            ic.line([(9 + t * 7 + 1.5, y), (9 + t * 7 + 4.5, y)], WHITE, 1.2, caps=False)
    arrow(ic, (2, 2), (15, 15), 4.5, 10, 6)


@icon(32)
def tlb_export(ic):
    tile_grid(ic, 2, 10, 22, 30, [LGREEN, LBLUE, WOOD, "#d98a6a"], 2)
    arrow(ic, (14, 18), (30, 2), 4.5, 10, 6)


@icon(32)
def tlb_animate(ic):
    film(ic, 2, 7, 30, 25)


@icon(32)
def tlb_grid(ic):
    ic.rect(4, 4, 28, 28, WHITE)
    for k in (12, 20):
        ic.line([(k, 4), (k, 28)], BLUE, 1.5, caps=False)
        ic.line([(4, k), (28, k)], BLUE, 1.5, caps=False)
    ic.rect(4, 4, 28, 28)


@icon(32)
def tlb_help(ic):
    ic.ellipse(3, 3, 29, 29, BLUE)
    ic.arc(16, 12.5, 4.5, 180, 90, WHITE, 3.2)
    ic.line([(16, 17), (16, 19.5)], WHITE, 3.2)
    ic.dot(16, 24, 2, WHITE)


# Animation panel ----------------------------------------------------------------------------------

def bar(ic, x, y0=5, y1=15):
    ic.rect(x, y0, x + 2.4, y1, INK, None, r=0.5)


def tri(ic, tip_x, base_x, cy=10, h=5, fill=INK, outline=None):
    ic.poly([(base_x, cy - h), (tip_x, cy), (base_x, cy + h)], fill, outline or fill, 0.8)


@icon(20, mirror="ani_forward")
def ani_rewind(ic):
    bar(ic, 2.5)
    tri(ic, 5.5, 11)
    tri(ic, 11, 16.5)


@icon(20, mirror="ani_step")
def ani_back(ic):
    tri(ic, 5, 12)
    bar(ic, 13)


@icon(20)
def ani_play(ic):
    tri(ic, 16.5, 5, h=6.5, fill=GREEN, outline=INK)


@icon(20)
def ani_stop(ic):
    ic.rect(5, 5, 15, 15, INK, None, r=1)


@icon(20)
def ani_record(ic):
    ic.ellipse(4, 4, 16, 16, RED)


@icon(20)
def ani_loop(ic):
    cx, cy, r = 10, 10, 5.8
    for start, end in ((200, 320), (20, 140)):
        ic.arc(cx, cy, r, start, end, BLUE, 2.2)
        tip = along((cx, cy), end + 22, r, 0)
        back = along((cx, cy), end, r, 0)
        ang = end + 90
        ic.poly([tip, along(back, ang, 0, -2.8), along(back, ang, 0, 2.8)], BLUE, BLUE, 0.6)


@icon(20)
def ani_speed(ic):
    cx, cy, r = 10, 11, 8
    ic.ellipse(cx - r, cy - r, cx + r, cy + r, WHITE)
    for a in range(150, 391, 48):
        ic.line([along((cx, cy), a, r - 2.6, 0), along((cx, cy), a, r - 1.2, 0)], INK, 1, caps=False)
    ic.line([(cx, cy), along((cx, cy), -50, r - 2, 0)], RED, 1.6)
    ic.dot(cx, cy, 1.6)


@icon(20)
def ani_erase(ic):
    film(ic, 1, 3, 16, 13, frames=2)
    red_x(ic, 14, 14, 3.2, disc=False)


@icon(20)
def ani_eraseframe(ic):
    ic.rect(2, 2, 14, 14, LBLUE)
    ic.rect(9, 13, 18.5, 17.5, RED)
    ic.line([(11.5, 15.25), (16, 15.25)], WHITE, 1.4)


@icon(20)
def ani_close(ic):
    for seg in (((5.5, 5.5), (14.5, 14.5)), ((5.5, 14.5), (14.5, 5.5))):
        ic.line(seg, INK, 2.4)


# Editor tools -------------------------------------------------------------------------------------

@icon(32)
def cmd_draw(ic):
    pencil(ic, (5, 27), -45, 31, 7)


@icon(32)
def cmd_line(ic):
    ic.line([(6, 26), (26, 6)], INK, 2.6)
    for x, y in ((6, 26), (26, 6)):
        ic.rect(x - 2.5, y - 2.5, x + 2.5, y + 2.5, BLUE, w=1.2)


@icon(32)
def cmd_paint(ic):
    o, a = (12, 14.5), 45  # the bucket tipped clockwise, pouring off its right lip

    def p(u, v):
        return along(o, a, u, v)

    rim = [p(8 * math.cos(t / 12 * math.pi), -7 + 2.6 * math.sin(t / 12 * math.pi)) for t in range(24)]
    handle = [p(7.6 * math.cos(t / 8 * math.pi), -7 - 7 * math.sin(t / 8 * math.pi)) for t in range(9)]
    ic.line(handle, INK, 1.3)
    ic.poly([p(-8, -7), p(8, -7), p(6, 9), p(-6, 9)], LGREY)
    ic.poly(rim, BLUE)
    x, y = p(8.2, -6.8)  # the lower lip
    stream = [(x - 0.5, y), (x + 2.2, y + 2.2), (x + 3, y + 8)]
    ic.line(stream, INK, 4.6)
    ic.ellipse(x + 0.6, y + 10, x + 5.4, y + 14.8, BLUE, w=1.3)
    ic.line(stream, BLUE, 2.2)


@icon(32)
def cmd_point(ic):
    for i in range(6):  # dashed marquee
        t0, t1 = 3 + i * 3.4, 5 + i * 3.4
        for seg in (((t0, 3), (t1, 3)), ((t0, 22), (t1, 22)), ((3, t0 - 0.5), (3, t1 - 0.5)),
                    ((23, t0 - 0.5), (23, t1 - 0.5))):
            ic.line(seg, INK, 1.3, caps=False)
    cur = [(0, 0), (0, 15), (3.6, 11.6), (6.4, 17.8), (9, 16.6), (6.3, 10.6), (11, 10.6)]
    ic.poly([(x + 14, y + 11) for x, y in cur], WHITE)


def shape(ic, kind, filled):
    box = (3, 7, 29, 25) if kind == "circle" else (4, 7, 28, 25)
    draw = ic.ellipse if kind == "circle" else ic.rect
    if filled:
        draw(*box, BLUE, w=1.6)
    else:  # a blue ring edged in dark so it reads as a stroke, not a fill
        draw(*box, None, INK, 4.4)
        x0, y0, x1, y1 = box
        draw(x0 + 0.9, y0 + 0.9, x1 - 0.9, y1 - 0.9, None, BLUE, 2.6)


for _name, _kind, _filled in (("cmd_circle", "circle", False), ("cmd_circlefilled", "circle", True),
                              ("cmd_box", "box", False), ("cmd_boxfilled", "box", True)):
    icon(32)(lambda ic, k=_kind, f=_filled: shape(ic, k, f), _name)


# Window icons -------------------------------------------------------------------------------------

@icon(64)
def app_tlwkproj(ic):
    colors = [LGREEN, LBLUE, WOOD, "#d98a6a", GREEN, LYELLOW, "#7aa7e0", "#b88cd8", LGREEN]
    tile_grid(ic, 5, 5, 59, 59, colors, 3)


@icon(64)
def app_pxwkproj(ic):
    art = [".RR.RR.",
           "RWRRRRR",
           "RRRRRRR",
           "RRRRRRR",
           ".RRRRR.",
           "..RRR..",
           "...R..."]
    x0, y0, s = 3, 3, 7.5
    ic.rect(x0, y0, x0 + s * 7, y0 + s * 7, WHITE)
    for j, row in enumerate(art):
        for i, c in enumerate(row):
            if c != ".":
                ic.rect(x0 + s * i, y0 + s * j, x0 + s * (i + 1), y0 + s * (j + 1), RED if c == "R" else PINK, None)
    for k in range(1, 7):
        ic.line([(x0 + s * k, y0), (x0 + s * k, y0 + s * 7)], LGREY, 0.8, caps=False)
        ic.line([(x0, y0 + s * k), (x0 + s * 7, y0 + s * k)], LGREY, 0.8, caps=False)
    ic.rect(x0, y0, x0 + s * 7, y0 + s * 7)
    pencil(ic, (36, 46), -45, 30, 10)


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    for name, size, draw, mirror in ICONS:
        ic = Icon(size)
        draw(ic)
        ic.save(os.path.join(OUT_DIR, name + ".png"))
        if mirror:
            ic.save(os.path.join(OUT_DIR, mirror + ".png"), mirror=True)
    # Each size drawn from the design, not scaled from another picture.
    for program, draw in (("tlwkproj", app_tlwkproj), ("pxwkproj", app_pxwkproj)):
        for size in HICOLOR_SIZES:
            folder = os.path.join(HICOLOR_DIR, f"{size}x{size}", "apps")
            os.makedirs(folder, exist_ok=True)
            ic = Icon(size, design=64)
            draw(ic)
            ic.save(os.path.join(folder, program + ".png"))


if __name__ == "__main__":
    main()
