// SceneWriter: builds a scene file command by command, with operands given as
// what they mean (absolute points, steps, colours, texts, sizes), and encodes
// each one the way the reader will decode it at that place of the file.
//
//   SceneWriter w(SceneHeader{.upperRight = {100, 100}});
//   w.setLineColor({1, 0, 0});             // global layer: every layer's start
//   w.layer("roads", true, false);
//   w.polylineSteps({10, 10}, std::vector<Point>{{1, 0}, {0, 2}});
//   w.finish();
//   if (!w.ok()) puts(w.error().c_str());
//
// The writer follows the encodings as the reader's state does: the point
// sizes and colour size set by the header and by attribute commands, the
// palette for colour sizes 0 and 1, the return to the end-of-global-layer
// state at each layer, the return to the saved state at the end of a shape
// definition (a shape placed inside a definition saves the state afresh, as
// the reader does) and the per-edge relative sizes of an edge set.
//
// Problems (a value the current encoding cannot hold, a command where the
// reader does not accept it) are recorded, the first one kept; writing goes
// on, so a caller checks ok() and error() once at the end.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "qmv/opcodes.h"
#include "qmv/scene_walk.h"
#include "qmv/scene_types.h"
#include "qmv/writer/bit_writer.h"
#include "qmv/writer/encoding_state.h"
#include "qmv/writer/error_log.h"
#include "qmv/writer/operand_writer.h"

namespace qmv {

struct SceneHeader {
    uint8_t reserved = 0;
    uint8_t version = 0;
    uint8_t release = 0;
    uint8_t absPointSize = 32;  // 16, 24, 32, 64 or 128 for readable points
    uint8_t relPointSize = 24;  // 3, 6, 8, 16, 24, 32, 64 or 128
    Point resolution{};
    Point lowerLeft{};
    Point upperRight{};
    Point mm{};
    Color background{1.0, 1.0, 1.0, 1.0};  // always three bytes: alpha must be 1
};

// An entry of the palette, for colour sizes 0 (indices 0 and 1) and 1.
struct PaletteIndex {
    int value = 0;
};

// A colour operand: a colour, or an explicit palette index. In colour sizes 0
// and 1 a colour is written as the index of the first equal palette entry.
class ColorOperand {
public:
    // Implicit, so that a Color, a brace list {r, g, b[, a]} or a PaletteIndex
    // can be passed where a colour operand is expected.
    ColorOperand(const Color& color) : color_(color) {}
    ColorOperand(double r, double g, double b, double a = 1.0) : color_{r, g, b, a} {}
    ColorOperand(PaletteIndex index) : index_(index.value), isIndex_(true) {}

    bool isIndex() const { return isIndex_; }
    int index() const { return index_; }
    const Color& color() const { return color_; }

private:
    Color color_;
    int index_ = 0;
    bool isIndex_ = false;
};

// One segment of a cubic Bézier figure, in absolute coordinates; it starts
// where the previous one ended.
struct BezierSegment {
    Point control1{};
    Point control2{};
    Point end{};
};

// One polyline of an edge set: the relative point size its steps are written
// in (only for this edge) and the steps from where the previous edge ended.
struct EdgeSteps {
    int relPointSize = 24;
    std::vector<Point> steps{};
};

struct EdgeSetSteps {
    Point start{};
    std::vector<EdgeSteps> edges{};
};

// Earlier names of the three records above, kept while code written against
// them moves to the new ones.
using HeaderSpec = SceneHeader;
using EdgeSpec = EdgeSteps;
using EdgeSetSpec = EdgeSetSteps;

class SceneWriter {
public:
    // An empty file; the reader's starting encodings apply until a header.
    SceneWriter() = default;
    explicit SceneWriter(const SceneHeader& header) { this->header(header); }
    // The operand writer refers to this object's own buffers.
    SceneWriter(const SceneWriter&) = delete;
    SceneWriter& operator=(const SceneWriter&) = delete;

    // ---------------------------------------------------------- structure
    // The header; only as the first bytes of the file.
    void header(const SceneHeader& header);
    // Ends the global layer at the first call; each layer then starts from
    // the state in force at that point.
    void layer(std::string_view name, bool visible = true, bool detectable = false);
    void beginObject(std::string_view name);  // the name must not be empty
    void endObject();
    void extension(std::string_view first, std::string_view second);
    // Global layer only. Returns the number that shape placements use.
    int beginShape(Point reference);
    void endShape();
    // Global layer only. Pixels top row first, row by row, each a colour in
    // the current colour size. Returns the image number.
    int setImage(int width, int height, const std::vector<Color>& pixelsTopRowFirst);
    int setImage(int width, int height, const std::vector<PaletteIndex>& pixelsTopRowFirst);
    // Checks that the scene is complete: a layer exists and no shape is open.
    void finish();

    // ----------------------------------------------------------- drawing
    // Paths: a start point and steps, or absolute vertices (the first is the
    // start point, the rest become steps).
    void polylineSteps(Point start, const std::vector<Point>& steps);
    void polyline(const std::vector<Point>& vertices);
    void drawPolygonSteps(Point start, const std::vector<Point>& steps);
    void drawPolygon(const std::vector<Point>& vertices);
    void fillPolygonSteps(Point start, const std::vector<Point>& steps);
    void fillPolygon(const std::vector<Point>& vertices);

    // Bézier figures. The steps variants take three steps per segment; the
    // filled figure stores its closing segment with two steps only, and its
    // segment count (0 and 1 both mean the closing segment alone) is given
    // explicitly there. The segment variants take absolute points; a filled
    // figure's last segment must end on `start`.
    void drawCubicBezier(Point start, const std::vector<BezierSegment>& segments);
    void drawCubicBezierSteps(Point start, const std::vector<Point>& steps);
    void fillCubicBezier(Point start, const std::vector<BezierSegment>& segments);
    void fillCubicBezierSteps(int64_t segmentCount, Point start, const std::vector<Point>& steps);

    // Arcs: the radii are a relative point; the angles are direction vectors
    // in the absolute point size (see directionFor).
    void drawArc(Point centre, Point radii, Point startDirection, Point endDirection);
    void fillArc(Point centre, Point radii, Point startDirection, Point endDirection);

    void mark(Point position);
    void line(Point start, Point offset);
    void drawBox(Point corner, Point extent);
    void fillBox(Point corner, Point extent);
    void drawCircle(Point centre, int64_t radius);
    void fillCircle(Point centre, int64_t radius);
    void drawEllipse(Point centre, Point radii);
    void fillEllipse(Point centre, Point radii);
    void text(Point position, std::string_view text);

    void shape(int64_t number, Point position, Point angleDirection, Point scale);
    void stampShape(int64_t number, Point position);
    void repeatShape(Point position);
    void image(int64_t number, Point sourceCorner, Point sourceExtent, Point corner, Point extent);
    void fullImage(int64_t number, Point corner, Point extent);

    // ------------------------------------------------------ edges, faces
    void setEdge(const EdgeSetSteps& edgeSet);
    // Edge-set numbers: the first list as signed sizes, the second unsigned.
    void setFace(const std::vector<int64_t>& first, const std::vector<int64_t>& second);
    void drawEdge(int64_t edgeSet);
    void drawEdgeRange(int64_t first, int64_t last);
    void fillFace(int64_t face);

    // -------------------------------------------------------- attributes
    void setPointSize(int bits);     // 16, 24, 32, 64, 128
    void setRelPointSize(int bits);  // 3, 6, 8, 16, 24, 32, 64, 128
    void setColorSize(int size);     // 0 to 7
    void setBlendMode(int mode);     // 0 to 7
    void setLineColor(ColorOperand color);
    void setLineDashes(uint16_t pattern);
    void setLineStyle(int first, int second, int third, int fourth);  // each 0 to 255
    void setMarkColor(ColorOperand color);
    void setMarkStyle(int style, int64_t size);
    void setFillColor(ColorOperand color);
    void setGradientFill(Point from, ColorOperand fromColor, Point to, ColorOperand toColor);
    void setTextureFill(Point origin, int64_t image);
    // `extent` leads from `corner` to the opposite corner.
    void setStretchedTextureFill(Point corner, Point extent, int64_t image);
    void setImageStretchMode(int mode);  // 0 nearest, 1 bilinear
    void setTextColor(ColorOperand color);
    void setFont(int font, int style, int64_t size);  // font 0 to 255, style 0 to 3
    void setTextAlignment(int alignment, Point angleDirection);
    // 1 to 256 colours in the current colour size, which must be 2 to 7.
    void setPalette(const std::vector<Color>& colors);

    // ------------------------------------------------------------- raw
    // Escape hatch for files that probe a reader: these write exactly what
    // they are told in the encoding they name, check only that the encoding
    // can hold the value, and change no tracked state.
    void rawOpcode(uint8_t opcode);
    void rawByte(uint8_t value);
    void rawBytes(std::span<const uint8_t> values);
    void rawBytes(std::initializer_list<uint8_t> values);
    void rawBits(uint64_t value, int count);
    void rawAlign();
    void rawPoint(Point p, int sizeBits);
    void rawSize(int64_t value, SizeForm form = SizeForm::Shortest);
    void rawSignedSize(int64_t value, SizeForm form = SizeForm::Shortest);
    void rawString(std::string_view text);
    // Colour sizes 0 and 1 look the colour up in the tracked palette.
    void rawColor(const Color& color, int colorSize);
    void rawPaletteIndex(int64_t index, int colorSize);

    // ----------------------------------------------------------- results
    const std::vector<uint8_t>& bytes() const { return bits_.bytes(); }
    bool ok() const { return errors_.ok(); }
    // The first problem, naming the command, its byte offset and the operand.
    const std::string& error() const { return errors_.first(); }
    const EncodingState& state() const { return walk_.now; }
    int bitPosition() const { return bits_.bitPosition(); }
    // A direction vector for an angle in radians in the current absolute size.
    Point directionFor(double radians) const;

    // Writes the bytes to `path`, deflated when the name says the file is
    // compressed. Refuses (false) when an error was recorded; a failure to
    // write is recorded as an error too.
    bool save(const std::string& path);

private:

    // Starts a command: names it for messages, checks where it stands and
    // writes its opcode byte.
    void beginCommand(Opcode opcode);
    void commandError(std::string_view problem);
    void absPoint(Point p, std::string_view operand);
    void relPoint(Point p, std::string_view operand) {
        operands_.point(p, walk_.now.relPointSize, operand);
    }
    void steps(std::span<const Point> list, std::string_view operand) {
        operands_.stepList(list, walk_.now.relPointSize, operand);
    }
    void colorAligned(const ColorOperand& color, std::string_view operand);
    void path(Opcode opcode, Point start, std::span<const Point> steps);
    void pathThrough(Opcode opcode, std::span<const Point> vertices);
    void arc(Opcode opcode, Point centre, Point radii, Point startDirection, Point endDirection);
    void pointAndVector(Opcode opcode, Point p, std::string_view pointName, Point v,
                        std::string_view vectorName);
    void placeShape(int64_t number);
    bool imageDefined(int64_t number);
    bool beginImage(int width, int height, size_t pixelCount);

    BitWriter bits_;
    ErrorLog errors_;
    OperandWriter operands_{bits_, errors_};
    // The state now, with the copies the reader returns to.
    SceneWalk<EncodingState> walk_;
};

}  // namespace qmv
