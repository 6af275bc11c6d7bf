#!/usr/bin/env python3
"""Writes examples/streetmap.qmvt, the text source of the example scene
"streetmap": a made-up town of about 6 x 4.5 km, one scene unit a metre.

The build does not run this script; the text it wrote is committed, and the
build assembles that. Run it again only to change the town:

    python3 examples/tools/streetmap.py > examples/streetmap.qmvt

The same script writes the same text: the random numbers come from a fixed
seed, and nothing else varies.
"""

import math
import random
import sys

WIDTH, HEIGHT = 6000, 4500
CELL_W, CELL_H = 160, 120          # a street block, street to street
GRID_X0, GRID_Y0 = -160, -120      # the grid starts off the map, so streets run to its edge
NX, NY = 40, 40                    # grid nodes are 0..NX by 0..NY
MAIN_EVERY, MAIN_COL, MAIN_ROW = 6, 3, 2   # every sixth grid line is a main road
MAX_STEP = 127                     # relative steps are 16-bit points: -128 to 127

rng = random.Random(20240611)
out = []


def emit(line=""):
    out.append(line)


def section(title, *notes):
    emit()
    emit("# " + "-" * 75)
    emit("# " + title)
    for note in notes:
        emit("# " + note)
    emit("# " + "-" * 75)


# --- geometry -------------------------------------------------------------

def node(i, j):
    """The grid node (i, j), bent by two gentle waves so that no street is
    quite straight."""
    x = GRID_X0 + i * CELL_W
    y = GRID_Y0 + j * CELL_H
    wx = 26 * math.sin(y / 700.0) + 12 * math.sin((x + y) / 520.0)
    wy = 22 * math.sin(x / 800.0) + 10 * math.cos((x - y) / 610.0)
    return (x + wx, y + wy)


def river_centre(x):
    return 2000 + 350 * math.sin(x / 900.0 + 0.5) + 120 * math.sin(x / 310.0)


def river_half_width(x):
    return 34 + 10 * math.sin(x / 1300.0)


def river_distance(p):
    """Vertical distance from p to the river's bank (negative inside)."""
    return abs(p[1] - river_centre(p[0])) - river_half_width(p[0])


PARK_CENTRE = (2300, 2720)
POND = (2450, 2800)         # east of Bridge Road, which crosses the park


def park_radius(angle):
    return 430 + 60 * math.sin(3 * angle) + 40 * math.cos(5 * angle + 1)


def in_park(p, margin=0.0):
    dx, dy = p[0] - PARK_CENTRE[0], p[1] - PARK_CENTRE[1]
    return math.hypot(dx, dy) < park_radius(math.atan2(dy, dx)) + margin


def in_forest(p, margin=0.0):
    """Northwood, the wood in the north-west corner: everything above a wavy
    line that falls from the west edge."""
    edge = 3450 + 0.35 * p[0] + 80 * math.sin(p[0] / 230.0)
    return p[1] > edge - margin and p[0] < 1500 + margin


def catmull_rom(points, spacing):
    """A smooth curve through the points, sampled about `spacing` apart."""
    result = []
    pts = [points[0]] + points + [points[-1]]
    for k in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[k - 1], pts[k], pts[k + 1], pts[k + 2]
        n = max(1, int(math.dist(p1, p2) / spacing))
        for s in range(n):
            t = s / n
            t2, t3 = t * t, t * t * t
            result.append(tuple(
                0.5 * (2 * p1[c] + (-p0[c] + p2[c]) * t + (2 * p0[c] - 5 * p1[c] + 4 * p2[c] - p3[c]) * t2
                       + (-p0[c] + 3 * p1[c] - 3 * p2[c] + p3[c]) * t3) for c in range(2)))
    result.append(points[-1])
    return result


MOTORWAY = catmull_rom([(-60, 3560), (1500, 4030), (3400, 3980), (4850, 3350), (5480, 2150),
                        (5660, 900), (6060, 280)], 60)
AVENUE = catmull_rom([(860, -40), (1500, 560), (2250, 1230), (2900, 1760)], 60)
RAILWAY = catmull_rom([(-60, 1180), (1400, 1330), (2800, 1420), (3900, 1380), (5000, 1520),
                       (6060, 1760)], 60)
STATION = (3020, 1350)


def rail_y(x):
    """Where the railway is at x (its points are close together)."""
    return min(RAILWAY, key=lambda p: abs(p[0] - x))[1]


def distance_to_path(p, path):
    best = float("inf")
    for a, b in zip(path, path[1:]):
        ax, ay, bx, by = a[0], a[1], b[0], b[1]
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy
        t = 0 if length2 == 0 else max(0.0, min(1.0, ((p[0] - ax) * dx + (p[1] - ay) * dy) / length2))
        best = min(best, math.hypot(p[0] - ax - t * dx, p[1] - ay - t * dy))
    return best


# --- text of commands -------------------------------------------------------

def pt(p):
    return f"({int(round(p[0]))}, {int(round(p[1]))})"


def rounded(points):
    return [(int(round(x)), int(round(y))) for x, y in points]


def steps_between(points):
    """Relative steps through the (rounded) points; a step longer than the
    16-bit relative point holds is cut into equal parts."""
    steps = []
    for a, b in zip(points, points[1:]):
        dx, dy = b[0] - a[0], b[1] - a[1]
        if dx == 0 and dy == 0:
            continue
        parts = max(1, math.ceil(max(abs(dx), abs(dy)) / MAX_STEP))
        done = (0, 0)
        for k in range(1, parts + 1):
            target = (round(dx * k / parts), round(dy * k / parts))
            steps.append((target[0] - done[0], target[1] - done[1]))
            done = target
    return steps


def step_list(steps, per_line=10, indent="    "):
    words = [f"({x}, {y})" for x, y in steps]
    if len(words) <= per_line:
        return "[" + " ".join(words) + "]"
    rows = [indent + "  " + " ".join(words[k:k + per_line]) for k in range(0, len(words), per_line)]
    return "[\n" + "\n".join(rows) + "\n" + indent + "]"


def polyline(points, indent="  ", command="Polyline"):
    pts = rounded(points)
    emit(f"{indent}{command} {pt(pts[0])} {step_list(steps_between(pts), indent=indent)}")


def offset_path(path, distance):
    """The path moved sideways, left of its direction for a positive distance."""
    result = []
    for k, p in enumerate(path):
        a = path[max(0, k - 1)]
        b = path[min(len(path) - 1, k + 1)]
        dx, dy = b[0] - a[0], b[1] - a[1]
        length = math.hypot(dx, dy) or 1.0
        result.append((p[0] - dy / length * distance, p[1] + dx / length * distance))
    return result


def ribbon(path, half_width, indent="  "):
    """A road or river of some width: its two sides as one filled polygon."""
    left = offset_path(path, half_width)
    right = offset_path(path, -half_width)
    polyline(left + right[::-1], indent, "FillPolygon")


def direction(angle):
    """A text angle: the direction vector, in whole numbers."""
    return f"({int(round(1000 * math.cos(angle)))}, {int(round(1000 * math.sin(angle)))})"


def text_width(text, size):
    # The stroke fonts are about 0.62 of their size wide per character.
    return 0.62 * size * len(text)


def label_along(name, a, b, size, side=1.0):
    """A name written along the segment a-b, centred on it and lifted off
    it to one side, upright whichever way the segment runs. The text is
    anchored at the left end of its baseline (alignment 9), so that the
    turn happens about the anchor itself."""
    angle = math.atan2(b[1] - a[1], b[0] - a[0])
    # Upright: left to right, and bottom to top where the street is (nearly)
    # upright itself, as maps write them.
    if math.cos(angle) < -0.05 or (abs(math.cos(angle)) <= 0.05 and math.sin(angle) < 0):
        angle += math.pi
    ux, uy = math.cos(angle), math.sin(angle)
    mid = ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
    half = text_width(name, size) / 2
    lift = side * 0.35 * size if side > 0 else side * 1.15 * size
    start = (mid[0] - ux * half - uy * lift, mid[1] - uy * half + ux * lift)
    return angle, start


# --- the town -----------------------------------------------------------------

def is_main_column(i):
    return i % MAIN_EVERY == MAIN_COL


def is_main_row(j):
    return j % MAIN_EVERY == MAIN_ROW


def blocked(p, main):
    """Where no ordinary street runs: the river and its quays, the park,
    the wood, alongside the railway. Main roads cross the river on bridges
    and run through the park."""
    if not main and distance_to_path(p, RAILWAY) < 24:
        return True
    if river_distance(p) < (4 if main else 34):
        return not main
    if not main and (in_park(p, 10) or in_forest(p, 10)):
        return True
    if main and in_forest(p, 10):
        return True
    return False


def segment_points(a, b):
    """A street segment from node to node, with a slight kink in the middle."""
    mid = ((a[0] + b[0]) / 2 + rng.uniform(-3, 3), (a[1] + b[1]) / 2 + rng.uniform(-3, 3))
    return [a, mid, b]


TREES = ["Elm", "Oak", "Maple", "Birch", "Cedar", "Willow", "Ash", "Pine", "Chestnut", "Linden",
         "Hazel", "Rowan", "Alder", "Beech", "Cherry", "Poplar", "Juniper", "Laurel", "Holly",
         "Myrtle", "Spruce", "Larch", "Walnut", "Sycamore", "Hawthorn", "Blackthorn", "Elder",
         "Aspen", "Yew", "Hornbeam", "Plane", "Acacia", "Magnolia", "Olive", "Quince", "Medlar",
         "Almond", "Fig", "Lime", "Cypress", "Sorrel"]
TRADES = ["Baker", "Carter", "Fletcher", "Mason", "Porter", "Potter", "Tanner", "Weaver", "Cooper",
          "Miller", "Smith", "Turner", "Glover", "Dyer", "Thatcher", "Chandler", "Sawyer", "Brewer",
          "Draper", "Hatter", "Cutler", "Skinner", "Joiner", "Roper", "Slater", "Tyler", "Wright",
          "Barber", "Butcher", "Collier", "Farrier", "Fuller", "Mercer", "Saddler", "Tinker",
          "Vintner", "Archer", "Bowyer", "Clerk", "Falconer", "Forester"]
MAIN_ROW_NAMES = ["Harbour Road", "Station Road", "Market Road", "Castle Road", "North Road",
                  "Hill Road", "Ridge Road"]
MAIN_COLUMN_NAMES = ["West Road", "Mill Road", "Bridge Road", "High Street", "Church Road",
                     "Abbey Road", "East Road", "Far Road"]


def row_name(j):
    return MAIN_ROW_NAMES[j // MAIN_EVERY] if is_main_row(j) else TREES[j] + " Street"


def column_name(i):
    return MAIN_COLUMN_NAMES[i // MAIN_EVERY] if is_main_column(i) else TRADES[i] + " Lane"


nodes = {(i, j): node(i, j) for i in range(NX + 1) for j in range(NY + 1)}


BROOKS = [catmull_rom([(900, 3700), (1150, 3300), (1250, 2900), (1500, 2500),
                       (1620, river_centre(1620) + 30)], 40),
          catmull_rom([(4300, -20), (4200, 500), (4420, 1000), (4350, 1500),
                       (4460, river_centre(4460) - 30)], 40)]


def near_brook(p):
    return any(distance_to_path(p, brook) < 14 for brook in BROOKS)


def near_big_road(p, margin):
    return (distance_to_path(p, MOTORWAY) < 26 + margin or distance_to_path(p, AVENUE) < 12 + margin
            or distance_to_path(p, RAILWAY) < 8 + margin)


# Street segments: (name, points) of the ordinary streets, one polyline each;
# main roads are whole lines of nodes.
streets = {}
for j in range(NY + 1):
    if is_main_row(j):
        continue
    for i in range(NX):
        a, b = nodes[(i, j)], nodes[(i + 1, j)]
        mid = ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
        if any(blocked(p, False) for p in (a, mid, b)):
            continue
        if rng.random() < 0.04:     # now and then two blocks are one
            continue
        streets.setdefault(row_name(j), []).append(segment_points(a, b))
for i in range(NX + 1):
    if is_main_column(i):
        continue
    for j in range(NY):
        a, b = nodes[(i, j)], nodes[(i, j + 1)]
        mid = ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
        if any(blocked(p, False) for p in (a, mid, b)):
            continue
        if rng.random() < 0.04:
            continue
        streets.setdefault(column_name(i), []).append(segment_points(a, b))


def main_road_runs(points):
    """The parts of a line of nodes that are not in the wood."""
    runs, run = [], []
    for p in points:
        if in_forest(p, 10):
            if len(run) > 1:
                runs.append(run)
            run = []
        else:
            run.append(p)
    if len(run) > 1:
        runs.append(run)
    return runs


main_roads = []   # (name, points)
for j in range(NY + 1):
    if is_main_row(j):
        for run in main_road_runs([nodes[(i, j)] for i in range(NX + 1)]):
            main_roads.append((row_name(j), run))
for i in range(NX + 1):
    if is_main_column(i):
        for run in main_road_runs([nodes[(i, j)] for j in range(NY + 1)]):
            main_roads.append((column_name(i), run))
main_roads.append(("Long Avenue", AVENUE))


def quay(side):
    """The street along one bank of the river, where it runs in the town."""
    xs = range(-60, WIDTH + 61, 60)
    return [(x, river_centre(x) + side * (river_half_width(x) + 22)) for x in xs]


def quay_runs(side):
    runs, run = [], []
    for p in quay(side):
        if in_park(p, 20) or near_big_road(p, 0):
            if len(run) > 1:
                runs.append(run)
            run = []
        else:
            run.append(p)
    if len(run) > 1:
        runs.append(run)
    return runs


for name, side in (("North Quay", 1), ("South Quay", -1)):
    for run in quay_runs(side):
        streets.setdefault(name, []).append(run)


# --- buildings ------------------------------------------------------------------

def block_interior(i, j):
    """The largest upright rectangle inside block (i, j), kept clear of the
    streets around it; main roads are wider, so their side keeps more."""
    bl, br, tl, tr = nodes[(i, j)], nodes[(i + 1, j)], nodes[(i, j + 1)], nodes[(i + 1, j + 1)]
    left = max(bl[0], tl[0]) + (16 if is_main_column(i) else 9)
    right = min(br[0], tr[0]) - (16 if is_main_column(i + 1) else 9)
    bottom = max(bl[1], br[1]) + (16 if is_main_row(j) else 9)
    top = min(tl[1], tr[1]) - (16 if is_main_row(j + 1) else 9)
    return left, bottom, right, top


def corners_of(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x0, y1), (x1, y1), ((x0 + x1) / 2, (y0 + y1) / 2)]


def box_is_clear(x0, y0, x1, y1):
    return all(river_distance(p) > 45 and not in_park(p, 25) and not in_forest(p, 25)
               and not near_big_road(p, 10) and not near_brook(p)
               and 0 <= p[0] <= WIDTH and 0 <= p[1] <= HEIGHT
               for p in corners_of(x0, y0, x1, y1))


def split(length, low, high):
    """Cuts a length into parts of low to high metres."""
    parts, left = [], length
    while left > high:
        part = rng.uniform(low, high)
        parts.append(part)
        left -= part
    parts.append(left)
    return parts


def perimeter_block(x0, y0, x1, y1):
    """Houses along the four sides around a courtyard."""
    depth = rng.uniform(18, 26)
    boxes = []
    for side in range(4):
        if side in (0, 2):       # along the bottom and the top, full width
            start, length = x0, x1 - x0
        else:                    # along the left and the right, between them
            start, length = y0 + depth, (y1 - y0) - 2 * depth
        if length < 10:
            continue
        pos = start
        for part in split(length, 22, 48):
            gap = 2 if rng.random() < 0.25 else 0
            if side == 0:
                boxes.append((pos, y0, part - gap, depth))
            elif side == 2:
                boxes.append((pos, y1 - depth, part - gap, depth))
            elif side == 1:
                boxes.append((x0, pos, depth, part - gap))
            else:
                boxes.append((x1 - depth, pos, depth, part - gap))
            pos += part
    return boxes


def houses_block(x0, y0, x1, y1):
    """Detached houses in rows, each on its own plot."""
    boxes = []
    cols = max(1, int((x1 - x0) // 34))
    rows = max(1, int((y1 - y0) // 34))
    pw, ph = (x1 - x0) / cols, (y1 - y0) / rows
    for c in range(cols):
        for r in range(rows):
            if 0 < r < rows - 1 and 0 < c < cols - 1:
                continue        # gardens in the middle
            w, h = rng.uniform(0.45, 0.7) * pw, rng.uniform(0.45, 0.7) * ph
            x = x0 + c * pw + (pw - w) / 2
            y = y0 + r * ph + (ph - h) / 2
            boxes.append((x, y, w, h))
    return boxes


def hall_block(x0, y0, x1, y1):
    """One or two large buildings: a school, a hall, a works."""
    if rng.random() < 0.5:
        return [(x0 + 8, y0 + 8, (x1 - x0) - 16, (y1 - y0) - 16)]
    mid = (x0 + x1) / 2
    return [(x0 + 6, y0 + 10, mid - x0 - 12, (y1 - y0) - 20),
            (mid + 6, y0 + 25, x1 - mid - 12, (y1 - y0) - 50)]


def clip_box(b):
    """A box longer than a 16-bit step becomes two buildings."""
    x, y, w, h = b
    if w > MAX_STEP:
        return clip_box((x, y, w / 2 - 1, h)) + clip_box((x + w / 2 + 1, y, w / 2 - 1, h))
    if h > MAX_STEP:
        return clip_box((x, y, w, h / 2 - 1)) + clip_box((x, y + h / 2 + 1, w, h / 2 - 1))
    return [b]


buildings = {"houses": [], "blocks": [], "halls": []}
greens = []
for i in range(NX):
    for j in range(NY):
        x0, y0, x1, y1 = block_interior(i, j)
        if x1 - x0 < 40 or y1 - y0 < 40:
            continue
        if not box_is_clear(x0, y0, x1, y1):
            # A block the park reaches into, but that is not in it, is
            # left as a green; elsewhere an unbuilt block stays bare.
            centre = ((x0 + x1) / 2, (y0 + y1) / 2)
            if any(in_park(p, 25) for p in corners_of(x0, y0, x1, y1)) and not in_park(centre) \
                    and river_distance(centre) > 45:
                greens.append((x0 + 4, y0 + 4, x1 - 4, y1 - 4))
            continue
        # Farther from the middle of town, more detached houses.
        centre_distance = math.hypot((x0 + x1) / 2 - 3000, (y0 + y1) / 2 - 1800) / 3000
        roll = rng.random()
        if roll < 0.04:
            greens.append((x0 + 4, y0 + 4, x1 - 4, y1 - 4))
            continue
        if roll < 0.12:
            kind, boxes = "halls", hall_block(x0, y0, x1, y1)
        elif roll < 0.12 + 0.75 * centre_distance:
            kind, boxes = "houses", houses_block(x0, y0, x1, y1)
        else:
            kind, boxes = "blocks", perimeter_block(x0, y0, x1, y1)
        for b in boxes:
            if b[2] >= 4 and b[3] >= 4:
                buildings[kind].extend(clip_box(b))


def label_clear(start, a, b):
    """A name is left out where it would run off the map or across the
    motorway or the railway."""
    mid = ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
    return (20 < start[0] < WIDTH - 20 and 20 < start[1] < HEIGHT - 20
            and all(distance_to_path(p, MOTORWAY) > 40 and distance_to_path(p, RAILWAY) > 16
                    for p in (a, mid, b)))


# --- writing the text -----------------------------------------------------------

emit("# The example scene \"streetmap\": a street map of a made-up town of about")
emit("# 6 x 4.5 km, one scene unit a metre, on named layers: parks and a wood as")
emit("# filled polygons, the river as a filled band with polylines for its banks,")
emit("# building blocks as filled boxes, footpaths, thousands of street")
emit("# segments, main roads and a motorway, a railway, and street names written")
emit("# along the streets at their angles.")
emit("#")
emit("# Written by examples/tools/streetmap.py; change the script and run it")
emit("# again rather than editing this text. The build assembles it with qmv-as")
emit("# into build/examples/streetmap.qmv and streetmap.qmvz.")
emit()
emit("Header")
emit("Reserved 0")
emit("Version 1")
emit("Release 0")
emit("AbsPointSize 32          # absolute points: -32768 to 32767 metres")
emit("RelPointSize 16          # relative steps: -128 to 127 metres; longer steps are cut")
emit("Resolution (1, 1)")
emit("LowerLeft (0, 0)")
emit(f"UpperRight ({WIDTH}, {HEIGHT})")
emit(f"MM ({WIDTH // 10}, {HEIGHT // 10})             # 1:10 000")
emit("Background #f2efe9")
emit()
emit("SetBlendMode 2")
emit("SetFont 0 0 12")
emit("SetTextColor #3c3c3c")

section("Layer \"parks\": the town park with its pond, the wood, and small greens.")
emit("Layer visible|detectable \"parks\"")
emit("  SetFillColor #cde6b4")
emit("  # City Park")
park = [(PARK_CENTRE[0] + park_radius(a) * math.cos(a), PARK_CENTRE[1] + park_radius(a) * math.sin(a))
        for a in [k * 2 * math.pi / 72 for k in range(72)]]
polyline(park, command="FillPolygon")
emit("  # Northwood")
emit("  SetFillColor #add19e")
forest_edge = [(x, 3450 + 0.35 * x + 80 * math.sin(x / 230.0)) for x in range(0, 1501, 50)]
polyline([(0, HEIGHT)] + forest_edge + [(1500, HEIGHT)], command="FillPolygon")
emit("  # the pond")
emit("  SetFillColor #aad3df")
pond = [(POND[0] + 95 * math.cos(a) + 12 * math.sin(3 * a), POND[1] + 55 * math.sin(a))
        for a in [k * 2 * math.pi / 36 for k in range(36)]]
polyline(pond, command="FillPolygon")
emit("  # greens between the houses, in the park's colour")
emit("  SetFillColor #cde6b4")
for x0, y0, x1, y1 in greens:
    polyline([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], command="FillPolygon")

section("Layer \"rivers\": the Wend as a band of water, its banks as polylines,",
        "and two brooks that join it.")
emit("Layer visible|detectable \"rivers\"")
river = [(x, river_centre(x)) for x in range(-60, WIDTH + 61, 40)]
emit("  SetFillColor #aad3df")
north_bank = [(x, river_centre(x) + river_half_width(x)) for x in range(-60, WIDTH + 61, 40)]
south_bank = [(x, river_centre(x) - river_half_width(x)) for x in range(-60, WIDTH + 61, 40)]
polyline(north_bank + south_bank[::-1], command="FillPolygon")
emit("  SetLineColor #6f9fc0")
emit("  # the banks")
polyline(north_bank)
polyline(south_bank)
emit("  # Mill Brook, from the wood, and Kell Brook, from the south")
for brook in BROOKS:
    polyline(brook)

section("Layer \"buildings\": building blocks as filled boxes: rows around courtyards",
        "in the middle of town, detached houses farther out, and halls.")
emit("Layer visible|detectable \"buildings\"")
for kind, fill, note in (("blocks", "#d9cfc5", "houses in rows around courtyards"),
                         ("houses", "#e0d5c8", "detached houses"),
                         ("halls", "#cbbfb3", "halls, schools and works")):
    emit(f"  # {note}")
    emit(f"  SetFillColor {fill}")
    for x, y, w, h in buildings[kind]:
        emit(f"  FillBox {pt((x, y))} ({int(round(w))}, {int(round(h))})")
emit("  # the station, beside the railway")
emit("  SetFillColor #b8aca0")
emit(f"  FillBox ({STATION[0] - 60}, {int(round(rail_y(STATION[0]))) - 36}) (120, 28)")

section("Layer \"paths\": footpaths through the park and the wood, dashed.")
emit("Layer visible|detectable \"paths\"")
emit("  SetLineColor #a0785a")
emit("  SetLineDashes 0xcccc")
emit("  # around the pond")
loop = [(POND[0] + 140 * math.cos(a), POND[1] + 100 * math.sin(a)) for a in
        [k * 2 * math.pi / 30 for k in range(31)]]
polyline(loop)
emit("  # from the pond to the park's gates")
for gate_angle in (0.3, 1.4, 2.6, 3.6, 4.7, 5.6):
    gate = (PARK_CENTRE[0] + park_radius(gate_angle) * math.cos(gate_angle),
            PARK_CENTRE[1] + park_radius(gate_angle) * math.sin(gate_angle))
    start = (POND[0] + 140 * math.cos(gate_angle), POND[1] + 100 * math.sin(gate_angle))
    bend = ((start[0] + gate[0]) / 2 + rng.uniform(-40, 40), (start[1] + gate[1]) / 2 + rng.uniform(-40, 40))
    polyline(catmull_rom([start, bend, gate], 30))
emit("  # through the wood")
for start, end in (((40, 3900), (1300, 4480)), ((300, 4480), (900, 3800)), ((20, 4300), (700, 4100))):
    bend = ((start[0] + end[0]) / 2 + rng.uniform(-120, 120), (start[1] + end[1]) / 2 + rng.uniform(-80, 80))
    polyline(catmull_rom([start, bend, end], 40))
emit("  # the towpath along the river")
polyline([(x, river_centre(x) + river_half_width(x) + 8) for x in range(2800, 5201, 40)])
emit("  SetLineDashes 0xffff")

section("Layer \"streets\": one polyline per street segment, node to node; each",
        "street is an object of its own name.")
emit("Layer visible|detectable \"streets\"")
emit("  SetLineColor #9a9a9a")
for name in sorted(streets):
    emit(f"  Object \"{name}\"")
    for points in streets[name]:
        polyline(points, indent="    ")
    emit("  Object \"\"")

section("Layer \"main roads\": each road a band of colour over a slightly wider dark",
        "band, its edges; all the edges first, so that crossings stay open. The",
        "main roads cross the river on bridges.")
emit("Layer visible|detectable \"main roads\"")
main_paths = [(name, catmull_rom(points, 60) if name != "Long Avenue" else points)
              for name, points in main_roads]
emit("  SetFillColor #c8a040")
for name, path in main_paths:
    emit(f"  # {name}, edges")
    ribbon(path, 8)
emit("  SetFillColor #f7d98a")
for name, path in main_paths:
    emit(f"  # {name}")
    ribbon(path, 6)

section("Layer \"motorways\": the bypass, edges and band as for the main roads, with",
        "a dashed middle line.")
emit("Layer visible|detectable \"motorways\"")
emit("  SetFillColor #b0604c")
ribbon(MOTORWAY, 14)
emit("  SetFillColor #e8927c")
ribbon(MOTORWAY, 11)
emit("  SetLineColor #ffffff")
emit("  SetLineDashes 0xff00")
polyline(MOTORWAY)
emit("  SetLineDashes 0xffff")

section("Layer \"railway\": the line through the station: a dark band with light",
        "dashes along its middle.")
emit("Layer visible|detectable \"railway\"")
emit("  SetFillColor #5a5a5a")
ribbon(RAILWAY, 3)
emit("  SetLineColor #ffffff")
emit("  SetLineDashes 0xf0f0")
polyline(RAILWAY)
emit("  SetLineDashes 0xffff")

section("Layer \"street names\": each name along its street, turned to the",
        "street's angle. Anchored at the left end of the baseline (alignment 9),",
        "so that the text turns about its anchor.")
emit("Layer visible|detectable \"street names\"")
emit("  SetTextColor #505050")
emit("  SetFont 0 0 11")
count = 0
for name in sorted(streets):
    segments = streets[name]
    every = 4 if len(segments) > 8 else 3
    for k, points in enumerate(segments):
        if k % every != 1:
            continue
        a, b = points[0], points[-1]
        if len(points) > 3:      # a quay: name it along a middle piece
            a, b = points[len(points) // 2 - 2], points[len(points) // 2 + 2]
        if math.dist(a, b) < text_width(name, 11) * 1.1:
            continue
        angle, start = label_along(name, a, b, 11)
        if not label_clear(start, a, b):
            continue
        emit(f"  SetTextAlignment 9 {direction(angle)}")
        emit(f"  Text {pt(start)} \"{name}\"")
        count += 1
emit("  # the main roads, larger, beside the road")
emit("  SetTextColor #6a5020")
emit("  SetFont 0 0 16")
for name, points in main_roads:
    for k in range(2, len(points) - 2, 4):
        a, b = points[k], points[k + 1]
        if name == "Long Avenue":
            a, b = points[k], points[k + 3]
        if river_distance(a) < 60 or math.dist(a, b) < text_width(name, 16) * 1.05:
            continue
        angle, start = label_along(name, a, b, 16, side=1.0 + 9 / (0.35 * 16))
        if not label_clear(start, a, b):
            continue
        emit(f"  SetTextAlignment 9 {direction(angle)}")
        emit(f"  Text {pt(start)} \"{name}\"")

section("Layer \"places\": the names of districts, the park, the wood and the river.")
emit("Layer visible|detectable \"places\"")
emit("  SetTextColor #6e6458")
emit("  SetFont 0 1 90")
emit("  SetTextAlignment 8 (1, 0)     # centred on the point")
for name, where in (("OLD TOWN", (3450, 2080)), ("RIVERSIDE", (4300, 2350)), ("NORTH END", (3000, 3500)),
                    ("MILL QUARTER", (1100, 2350)), ("SOUTHFIELDS", (2400, 500)),
                    ("EASTGATE", (5000, 900))):
    emit(f"  Text {pt(where)} \"{name}\"")
emit("  SetTextColor #3c6e32")
emit("  SetFont 0 0 44")
emit(f"  Text ({PARK_CENTRE[0]}, {PARK_CENTRE[1] + 170}) \"City Park\"")
emit("  Text (560, 4200) \"Northwood\"")
emit("  SetTextColor #3c78a0")
emit("  SetFont 0 2 40")
for x in (700, 3700, 5400):
    a, b = (x - 80, river_centre(x - 80)), (x + 80, river_centre(x + 80))
    angle, start = label_along("River Wend", a, b, 40, side=-0.35)
    emit(f"  SetTextAlignment 9 {direction(angle)}")
    emit(f"  Text {pt(start)} \"River Wend\"")
emit("  SetTextColor #3c3c3c")
emit("  SetFont 0 1 18")
emit("  SetTextAlignment 8 (1, 0)")
emit(f"  Text ({STATION[0]}, {int(round(rail_y(STATION[0]))) - 60}) \"Central Station\"")
emit("  SetTextColor #b0604c")
emit("  SetFont 0 1 24")
angle, start = label_along("M7 Bypass", MOTORWAY[40], MOTORWAY[43], 24, side=1.0 + 16 / (0.35 * 24))
emit(f"  SetTextAlignment 9 {direction(angle)}")
emit(f"  Text {pt(start)} \"M7 Bypass\"")

sys.stdout.write("\n".join(out) + "\n")
sys.stderr.write(f"street segments: {sum(len(s) for s in streets.values())}, "
                 f"buildings: {sum(len(b) for b in buildings.values())}, names: {count}\n")
