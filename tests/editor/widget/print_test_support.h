#pragma once

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "../core/core_fixture.h"
#include "editor/core/hex_editor_core.h"
#include "editor/widget/canvas_printer.h"

namespace quillon::print_test {

// A font with integral metrics on a 96 dpi device, so that layouts can be computed by hand.
inline QFont TestFont(int pixelSize = 10) {
    QFont font("Liberation Mono");
    font.setPixelSize(pixelSize);
    return font;
}

struct DrawnText {
    QPointF position;
    QString text;
    QFont font;
    QColor color;
};

struct DrawnRect {
    QRectF rect;
    QColor color;
};

// Records what a painter draws: every text item with its font and colour, lines and fills.
class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & QPaintEngine::DirtyPen) {
            pen_ = state.pen();
        }
        if (state.state() & QPaintEngine::DirtyBrush) {
            brush_ = state.brush();
        }
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& position, const QTextItem& item) override {
        texts.push_back({position, item.text(), item.font(), pen_.color()});
    }
    void drawLines(const QLineF* drawn, int count) override {
        lines.insert(lines.end(), drawn, drawn + count);
    }
    void drawRects(const QRectF* drawn, int count) override {
        for (int i = 0; i < count; ++i) {
            rects.push_back({drawn[i], brush_.color()});
        }
    }
    Type type() const override { return QPaintEngine::User; }

    std::vector<DrawnText> texts;
    std::vector<QLineF> lines;
    std::vector<DrawnRect> rects;

private:
    QPen pen_;
    QBrush brush_;
};

class RecordingDevice : public QPaintDevice {
public:
    RecordingDevice(int width, int height, int dpi = 96)
        : width_(width), height_(height), dpi_(dpi) {}
    ~RecordingDevice() override = default;
    QPaintEngine* paintEngine() const override { return &engine_; }
    RecordingEngine& Engine() const { return engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return width_;
        case PdmHeight:
            return height_;
        case PdmWidthMM:
            return width_ * 254 / (10 * dpi_);
        case PdmHeightMM:
            return height_ * 254 / (10 * dpi_);
        case PdmNumColors:
            return 1 << 24;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi_;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    int width_;
    int height_;
    int dpi_;
    mutable RecordingEngine engine_;
};

// The printed page as text: what `project` makes of each text item, placed at column
// (x - left) / cellWidth of the line at its height; one string per line, top to bottom.
using Projection = std::function<std::string(const DrawnText&)>;
std::vector<std::string> PrintedLines(const std::vector<DrawnText>& texts, int left, int cellWidth,
                                      const Projection& project = {});

// An attribute string as letters: the colour class digit, or A..E for the bold classes.
std::string AttributeCodes(const std::vector<std::uint8_t>& attributes);

} // namespace quillon::print_test
