#!/usr/bin/python3
"""Makes the tool-bar icons and the window icon of vorlix (gui/resources/).

Icons that the Tango icon theme (Debian package tango-icon-theme, public
domain) has a fitting picture for are its 22x22 images cut to their central
20x20 pixels; the satellite icons, the window icon and the icons whose Tango
picture is grey (it read as a disabled button: Visibility, Time Step) are
drawn here, at four times their size and scaled down for smooth edges.

Run with Debian's interpreter (python3-pil):  /usr/bin/python3 tools/gen/gen_icons.py
"""
import math
import os
import sys

from PIL import Image, ImageDraw

TANGO = "/usr/share/icons/Tango/22x22"
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "gui", "resources")

# resource name -> Tango image
FROM_TANGO = {
    "fileopen": "actions/document-open",
    "filesave": "actions/document-save",
    "satpdate": "apps/office-calendar",
    "satploc": "actions/go-home",
    "satppaos": "actions/format-justify-left",
    "satpirid": "status/weather-clear",
    "satpfind": "actions/system-search",
    "satpdltm": "actions/media-seek-forward",
    "satppass": "actions/go-last",
    "satprefr": "actions/view-refresh",
    "satpsmap": "apps/internet-web-browser",
}

S = 4  # supersampling factor

BODY = (186, 189, 182, 255)      # aluminium
BODY_EDGE = (85, 87, 83, 255)
PANEL = (52, 101, 164, 255)      # sky blue
PANEL_EDGE = (32, 74, 135, 255)
GREEN = (78, 154, 6, 255)
GREEN_EDGE = (52, 101, 4, 255)
ORANGE = (245, 121, 0, 255)
ORANGE_EDGE = (206, 92, 0, 255)
WHITE = (255, 255, 255, 255)
DARK = (46, 52, 54, 255)


def canvas(size):
    return Image.new("RGBA", (size * S, size * S), (0, 0, 0, 0))


def finish(img, size):
    return img.resize((size, size), Image.LANCZOS)


def box(cx, cy, w, h):
    return [(cx - w / 2) * S, (cy - h / 2) * S, (cx + w / 2) * S, (cy + h / 2) * S]


def satellite(d, cx, cy, scale=1.0):
    """A small satellite: a body with two solar panels."""
    pw, ph = 5.2 * scale, 4.4 * scale
    bw = 4.4 * scale
    d.rectangle(box(cx - bw / 2 - pw / 2 - 0.4 * scale, cy, pw, ph), fill=PANEL, outline=PANEL_EDGE,
                width=S)
    d.rectangle(box(cx + bw / 2 + pw / 2 + 0.4 * scale, cy, pw, ph), fill=PANEL, outline=PANEL_EDGE,
                width=S)
    d.rectangle(box(cx, cy, bw, bw), fill=BODY, outline=BODY_EDGE, width=S)


def arrow(d, points, colour, edge, width=2.2):
    """A thick polyline ending in an arrow head."""
    pts = [(x * S, y * S) for x, y in points]
    d.line(pts, fill=edge, width=int((width + 1.2) * S), joint="curve")
    d.line(pts, fill=colour, width=int(width * S), joint="curve")
    (x0, y0), (x1, y1) = points[-2], points[-1]
    a = math.atan2(y1 - y0, x1 - x0)
    head = [(x1 + 2.8 * math.cos(a), y1 + 2.8 * math.sin(a)),
            (x1 + 3.6 * math.cos(a + 2.2), y1 + 3.6 * math.sin(a + 2.2)),
            (x1 + 3.6 * math.cos(a - 2.2), y1 + 3.6 * math.sin(a - 2.2))]
    d.polygon([(x * S, y * S) for x, y in head], fill=colour, outline=edge)


def plus(d, cx, cy, colour, edge):
    d.rectangle(box(cx, cy, 7, 2.6), fill=colour, outline=edge, width=S)
    d.rectangle(box(cx, cy, 2.6, 7), fill=colour, outline=edge, width=S)
    d.rectangle(box(cx, cy, 6, 1.6), fill=colour)


def orbit(d, cx, cy, rx, ry, colour, width=1.2):
    d.ellipse([(cx - rx) * S, (cy - ry) * S, (cx + rx) * S, (cy + ry) * S], outline=colour,
              width=int(width * S))


def icon_select():
    img = canvas(20)
    d = ImageDraw.Draw(img)
    satellite(d, 9.0, 7.5)
    plus(d, 15.5, 15.5, GREEN, GREEN_EDGE)
    return finish(img, 20)


def icon_next_sats():
    img = canvas(20)
    d = ImageDraw.Draw(img)
    satellite(d, 10.0, 6.0, 0.95)
    arrow(d, [(2.5, 15.5), (8.5, 15.5), (13.5, 15.5)], GREEN, GREEN_EDGE)
    return finish(img, 20)


def icon_edit_orbit():
    img = canvas(20)
    d = ImageDraw.Draw(img)
    d.ellipse(box(9, 10, 5.5, 5.5), fill=(114, 159, 207, 255), outline=PANEL_EDGE, width=S)
    orbit(d, 9, 10, 8.2, 4.2, ORANGE_EDGE, 1.4)
    # a pencil across the lower right
    pts = [(12.5, 18.5), (18.5, 12.5)]
    d.line([(x * S, y * S) for x, y in pts], fill=DARK, width=int(3.4 * S))
    d.line([(x * S, y * S) for x, y in pts], fill=(252, 233, 79, 255), width=int(2.2 * S))
    d.polygon([(11.2 * S, 19.8 * S), (12.0 * S, 17.2 * S), (13.8 * S, 19.0 * S)], fill=DARK)
    return finish(img, 20)


def icon_switch():
    img = canvas(20)
    d = ImageDraw.Draw(img)
    satellite(d, 7.0, 4.5, 0.72)
    satellite(d, 13.0, 15.5, 0.72)
    arrow(d, [(13.5, 3.5), (16.5, 5.5), (16.5, 9.0)], ORANGE, ORANGE_EDGE, 1.6)
    arrow(d, [(6.5, 16.5), (3.5, 14.5), (3.5, 11.0)], ORANGE, ORANGE_EDGE, 1.6)
    return finish(img, 20)


def icon_real_time():
    img = canvas(20)
    d = ImageDraw.Draw(img)
    d.ellipse(box(10, 10, 17, 17), fill=WHITE, outline=DARK, width=int(1.4 * S))
    for k in range(12):
        a = k * math.pi / 6
        r0 = 6.4 if k % 3 else 5.6
        d.line([((10 + r0 * math.cos(a)) * S, (10 + r0 * math.sin(a)) * S),
                ((10 + 7.2 * math.cos(a)) * S, (10 + 7.2 * math.sin(a)) * S)], fill=DARK,
               width=int(0.8 * S))
    d.line([(10 * S, 10 * S), (10 * S, 4.6 * S)], fill=DARK, width=int(1.4 * S))
    d.line([(10 * S, 10 * S), (13.8 * S, 11.8 * S)], fill=DARK, width=int(1.4 * S))
    d.line([(10 * S, 10 * S), (6.2 * S, 13.0 * S)], fill=(204, 0, 0, 255), width=int(0.8 * S))
    return finish(img, 20)


def icon_visibility():
    """A night sky: a yellow crescent Moon and two stars on dark blue."""
    img = canvas(20)
    d = ImageDraw.Draw(img)
    d.ellipse(box(10, 10, 18, 18), fill=(32, 74, 135, 255), outline=DARK, width=S)
    d.ellipse(box(9.0, 10.5, 10.5, 10.5), fill=(252, 233, 79, 255), outline=(196, 160, 0, 255),
              width=S)
    d.ellipse(box(11.6, 8.6, 9.0, 9.0), fill=(32, 74, 135, 255))
    for cx, cy, r in ((14.2, 13.6, 1.6), (12.6, 5.4, 1.2)):
        d.ellipse(box(cx, cy, r, r), fill=WHITE)
    return finish(img, 20)


def icon_time_step():
    """Skip forward: two green triangles and a bar."""
    img = canvas(20)
    d = ImageDraw.Draw(img)
    for x0 in (1.5, 7.8):
        d.polygon([(x0 * S, 4 * S), ((x0 + 6.6) * S, 10 * S), (x0 * S, 16 * S)], fill=GREEN,
                  outline=GREEN_EDGE)
    d.rectangle(box(16.4, 10, 2.6, 12), fill=GREEN, outline=GREEN_EDGE, width=S)
    return finish(img, 20)


def icon_window():
    """The window icon: the Earth with a satellite on an inclined orbit."""
    img = canvas(32)
    d = ImageDraw.Draw(img)
    d.ellipse(box(16, 16, 19, 19), fill=(52, 101, 164, 255), outline=PANEL_EDGE, width=S)
    # land masses, roughly
    d.ellipse(box(12.5, 13.0, 6.0, 4.5), fill=(115, 210, 22, 255))
    d.ellipse(box(19.0, 19.5, 5.0, 6.5), fill=(115, 210, 22, 255))
    d.ellipse(box(20.0, 11.5, 3.0, 2.2), fill=(115, 210, 22, 255))
    ring = Image.new("RGBA", img.size, (0, 0, 0, 0))
    rd = ImageDraw.Draw(ring)
    rd.ellipse(box(16, 16, 29, 10), outline=(252, 233, 79, 255), width=int(1.6 * S))
    ring = ring.rotate(25, resample=Image.BICUBIC, center=(16 * S, 16 * S))
    img.alpha_composite(ring)
    d = ImageDraw.Draw(img)
    a = math.radians(-25)
    sx, sy = 16 + 14.5 * math.cos(a) * 0.98, 16 + 14.5 * math.sin(a) * 0.55
    d.ellipse(box(sx, sy, 4.4, 4.4), fill=WHITE, outline=DARK, width=S)
    return finish(img, 32)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, src in sorted(FROM_TANGO.items()):
        path = os.path.join(TANGO, src + ".png")
        if not os.path.exists(path):
            sys.exit("missing %s (install tango-icon-theme)" % path)
        img = Image.open(path).convert("RGBA")
        w, h = img.size
        img = img.crop(((w - 20) // 2, (h - 20) // 2, (w - 20) // 2 + 20, (h - 20) // 2 + 20))
        img.save(os.path.join(OUT, name + ".png"), optimize=True)
    drawn = {
        "satpsels": icon_select,
        "satpnx4p": icon_next_sats,
        "satpxorb": icon_edit_orbit,
        "satpswss": icon_switch,
        "satprtim": icon_real_time,
        "satpvisb": icon_visibility,
        "satptstp": icon_time_step,
        "vorlix32": icon_window,
    }
    for name, make in sorted(drawn.items()):
        make().save(os.path.join(OUT, name + ".png"), optimize=True)
    print("icons written to", os.path.normpath(OUT))


if __name__ == "__main__":
    main()
