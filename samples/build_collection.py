#!/usr/bin/env python3
"""Writes collection.json: a reply of the collection service holding the sample icons below.

Every drawing here is our own. Run from anywhere: python3 samples/build_collection.py
"""
import json
import os

STYLE = 'style="width: 1em;height: 1em;vertical-align: middle;fill: currentColor;overflow: hidden;"'


def iconfont(body, pid):
    """An icon in the service's own form: a 1024 unit square, class "icon", colour from fill."""
    return (f'<svg class="icon" {STYLE} viewBox="0 0 1024 1024" version="1.1" '
            f'xmlns="http://www.w3.org/2000/svg" p-id="{pid}">{body}</svg>')


ICONS = [
    # Filled outlines, the service's usual shape.
    ("home", iconfont(
        '<path d="M512 96 64 480h128v448h256V672h128v256h256V480h128z" fill="#2C7BE5" p-id="1101"/>', 1100)),
    ("star", iconfont(
        '<path d="M512 64l138 280 310 45-224 218 53 309-277-146-277 146 53-309L64 389l310-45z" '
        'fill="#F5A623" p-id="1201"/>', 1200)),
    ("heart", iconfont(
        '<path d="M512 904C288 736 96 584 96 368c0-124 96-224 216-224 84 0 156 48 200 120 44-72 116-120 '
        '200-120 120 0 216 100 216 224 0 216-192 368-416 536z" fill="#E74C3C" p-id="1301"/>', 1300)),
    # Strokes: round caps and joins, no fill.
    ("search", iconfont(
        '<circle cx="440" cy="440" r="280" fill="none" stroke="#333333" stroke-width="96"/>'
        '<path d="M650 650 920 920" stroke="#333333" stroke-width="112" stroke-linecap="round"/>', 1400)),
    # A ring with twelve teeth cut by the even-odd rule.
    ("settings", iconfont(
        '<path fill-rule="evenodd" fill="#5F6B7A" d="M452 64h120l20 112 72 30 94-64 85 85-64 94 30 72 '
        '112 20v120l-112 20-30 72 64 94-85 85-94-64-72 30-20 112H452l-20-112-72-30-94 64-85-85 64-94-30-72'
        '-112-20V452l112-20 30-72-64-94 85-85 94 64 72-30zM512 352a160 160 0 1 0 0 320 160 160 0 1 0 0-320z"/>',
        1500)),
    # Elliptic arcs in a pie.
    ("pie-chart", iconfont(
        '<path d="M512 512V96a416 416 0 0 1 416 416z" fill="#27AE60"/>'
        '<path d="M512 512h416a416 416 0 0 1-624 360z" fill="#2D9CDB"/>'
        '<path d="M512 512 304 872A416 416 0 0 1 512 96z" fill="#F2994A"/>', 1600)),
    ("clock", iconfont(
        '<circle cx="512" cy="512" r="400" fill="#FFFFFF" stroke="#34495E" stroke-width="64"/>'
        '<path d="M512 240v272l176 112" fill="none" stroke="#34495E" stroke-width="64" '
        'stroke-linecap="round" stroke-linejoin="round"/>', 1700)),
    # Gradients: a radial sun and a linear button.
    ("sun", iconfont(
        '<defs><radialGradient id="sun-core" gradientUnits="userSpaceOnUse" cx="440" cy="440" r="320">'
        '<stop offset="0" stop-color="#FFF3B0"/><stop offset="1" stop-color="#F39C12"/></radialGradient>'
        '</defs><g stroke="#F39C12" stroke-width="72" stroke-linecap="round">'
        '<path d="M512 64v128M512 832v128M64 512h128M832 512h128M195 195l90 90M739 739l90 90M195 829l90-90'
        'M739 285l90-90"/></g>'
        '<circle cx="512" cy="512" r="240" fill="url(#sun-core)"/>', 1800)),
    ("gradient-button", iconfont(
        '<defs><linearGradient id="btn" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#8E44AD"/><stop offset="1" stop-color="#3498DB"/></linearGradient></defs>'
        '<rect x="96" y="288" width="832" height="448" rx="96" ry="96" fill="url(#btn)"/>'
        '<path d="M432 400l224 112-224 112z" fill="#FFFFFF"/>', 1900)),
    ("check-circle", iconfont(
        '<circle cx="512" cy="512" r="416" fill="#2ECC71"/>'
        '<polyline points="304,528 448,672 736,368" fill="none" stroke="#FFFFFF" stroke-width="88" '
        'stroke-linecap="round" stroke-linejoin="round"/>', 2000)),
    # A Chinese name.
    ("下载", iconfont(
        '<path d="M448 128h128v400h160L512 784 288 528h160z" fill="#1ABC9C"/>'
        '<rect x="160" y="832" width="704" height="80" rx="40" fill="#16A085"/>', 2100)),
    # Two icons of the same name: their files differ by index only.
    ("cloud", iconfont(
        '<path d="M288 800a192 192 0 0 1-24-382 256 256 0 0 1 500-56 208 208 0 0 1-4 438z" fill="#74B9FF"/>',
        2200)),
    ("cloud", iconfont(
        '<path d="M288 800a192 192 0 0 1-24-382 256 256 0 0 1 500-56 208 208 0 0 1-4 438z" fill="none" '
        'stroke="#0984E3" stroke-width="56" stroke-linejoin="round"/>'
        '<path d="M512 448v256M400 592l112 112 112-112" fill="none" stroke="#0984E3" stroke-width="56" '
        'stroke-linecap="round" stroke-linejoin="round"/>', 2300)),
    # Rounded rectangles and opacity.
    ("battery", iconfont(
        '<rect x="96" y="320" width="768" height="384" rx="64" fill="none" stroke="#2D3436" stroke-width="56"/>'
        '<rect x="880" y="432" width="64" height="160" rx="24" fill="#2D3436"/>'
        '<rect x="160" y="384" width="448" height="256" rx="24" fill="#00B894"/>'
        '<rect x="608" y="384" width="192" height="256" rx="24" fill="#00B894" opacity="0.3"/>', 2400)),
    ("wifi", iconfont(
        '<g fill="none" stroke="#6C5CE7" stroke-width="80" stroke-linecap="round">'
        '<path d="M128 416a544 544 0 0 1 768 0"/><path d="M256 560a360 360 0 0 1 512 0"/>'
        '<path d="M384 704a180 180 0 0 1 256 0"/></g><circle cx="512" cy="840" r="64" fill="#6C5CE7"/>', 2500)),
    # Quadratic curves, with the smooth form.
    ("bell", iconfont(
        '<path d="M512 96Q704 96 736 320T800 704H224Q288 544 288 320T512 96z" fill="#FDCB6E"/>'
        '<path d="M416 768h192a96 96 0 0 1-192 0z" fill="#E17055"/>', 2600)),
    # A shape reused through use, each copy moved by a transform.
    ("grid", iconfont(
        '<defs><rect id="cell" width="352" height="352" rx="48"/></defs>'
        '<use href="#cell" x="128" y="128" fill="#E84393"/>'
        '<use href="#cell" x="544" y="128" fill="#FD79A8"/>'
        '<g transform="translate(128 544)"><use href="#cell" fill="#A29BFE"/></g>'
        '<use href="#cell" transform="translate(544 544)" fill="#6C5CE7"/>', 2700)),
    # Colours from a style sheet, through class and id selectors.
    ("palette", iconfont(
        '<style>.swatch{stroke:#2D3436;stroke-width:24}.red{fill:#D63031}.green{fill:#00B894}'
        '#blue{fill:#0984E3}</style>'
        '<path d="M512 96C256 96 96 288 96 512s160 416 384 416c64 0 96-48 64-112s0-128 96-128h128'
        'c96 0 160-64 160-192C928 256 768 96 512 96z" fill="#FFEAA7" class="swatch"/>'
        '<circle class="red" cx="320" cy="448" r="72"/><circle class="green" cx="448" cy="272" r="72"/>'
        '<circle id="blue" cx="656" cy="304" r="72"/>', 2800)),
    # A broken line chart with a filled area under it.
    ("trend", iconfont(
        '<path d="M96 896V640l224-192 192 128 384-352v672z" fill="#55EFC4" fill-opacity="0.5"/>'
        '<polyline points="96,640 320,448 512,576 896,224" fill="none" stroke="#00A381" stroke-width="64" '
        'stroke-linejoin="round" stroke-linecap="round"/>'
        '<path d="M96 928h832" stroke="#636E72" stroke-width="32"/>', 2900)),
    # A rotated ellipse around a circle.
    ("planet", iconfont(
        '<circle cx="512" cy="512" r="256" fill="#E17055"/>'
        '<ellipse cx="512" cy="512" rx="448" ry="128" fill="none" stroke="#FAB1A0" stroke-width="48" '
        'transform="rotate(-25 512 512)"/>', 3000)),
    # A clip path shapes the lock's body.
    ("lock", iconfont(
        '<defs><clipPath id="lock-body"><rect x="192" y="448" width="640" height="480" rx="64"/></clipPath>'
        '</defs><path d="M320 448V320a192 192 0 0 1 384 0v128" fill="none" stroke="#2D3436" '
        'stroke-width="80"/><g clip-path="url(#lock-body)"><rect x="0" y="0" width="1024" height="1024" '
        'fill="#FDCB6E"/><rect x="0" y="448" width="1024" height="120" fill="#E1B12C"/></g>'
        '<circle cx="512" cy="688" r="64" fill="#2D3436"/>', 3100)),
    # Text drawn with an installed font.
    ("新品", iconfont(
        '<rect x="64" y="192" width="896" height="640" rx="128" fill="#D63031"/>'
        '<text x="150" y="630" font-size="320" font-weight="bold" fill="#FFFFFF" '
        'font-family="Microsoft YaHei, WenQuanYi Micro Hei, sans-serif">NEW</text>', 3200)),
    # A small stroke icon on a 24 unit grid, as line icon sets draw them.
    ("mail", '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 24" fill="none" stroke="#2C3E50" '
             'stroke-width="2" stroke-linecap="round" stroke-linejoin="round">'
             '<rect x="2" y="4" width="20" height="16" rx="2"/><polyline points="22,6 12,13 2,6"/></svg>'),
    # The name is a JSON number; it is written with its literal text.
    (404, iconfont(
        '<circle cx="512" cy="512" r="416" fill="#636E72"/>'
        '<path d="M352 352l320 320M672 352 352 672" stroke="#FFFFFF" stroke-width="96" '
        'stroke-linecap="round"/>', 3300)),
]


def main():
    icons = []
    for index, (name, svg) in enumerate(ICONS):
        font_class = name if isinstance(name, str) and name.isascii() else f"icon-{index}"
        icons.append({
            "id": 9000100 + index,
            "name": name,
            "status": 1,
            "is_private": 0,
            "unicode": str(58880 + index),
            "font_class": font_class,
            "show_svg": svg,
            "path_attributes": "",
            "collection_id": 32622,
        })
    reply = {
        "code": 200,
        "data": {
            "collection": {"id": 32622, "name": "Plumwick 示例图标", "icons_count": len(icons),
                           "description": "Sample icons drawn for Plumwick"},
            "icons": icons,
        },
    }
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "collection.json")
    with open(out, "w", encoding="utf-8") as f:
        json.dump(reply, f, ensure_ascii=False, indent=1)
        f.write("\n")
    print(f"{out}: {len(icons)} icons")


if __name__ == "__main__":
    main()
