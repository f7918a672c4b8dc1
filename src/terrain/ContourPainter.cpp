#include "ContourPainter.h"

#include <cmath>

namespace ContourPainter {

namespace {

// Points closer than this to the last one drawn are left out: marching
// squares gives one a pixel, more than a stroke a pixel wide can show.
const float skip = 1.2f;

void addPath(cairo_t* cr, const ContourLine& line)
{
    float lastX = line.xy[0], lastY = line.xy[1];
    cairo_move_to(cr, lastX, lastY);
    const std::size_t end = line.xy.size() - 2;
    for (std::size_t i = 2; i < end; i += 2) {
        const float x = line.xy[i], y = line.xy[i + 1];
        if (std::fabs(x - lastX) + std::fabs(y - lastY) < skip)
            continue;
        cairo_line_to(cr, x, y);
        lastX = x, lastY = y;
    }
    cairo_line_to(cr, line.xy[end], line.xy[end + 1]);
    if (line.closed)
        cairo_close_path(cr);
}

double length(const ContourLine& line)
{
    double total = 0;
    for (std::size_t i = 2; i + 1 < line.xy.size(); i += 2)
        total += std::hypot(line.xy[i] - line.xy[i - 2], line.xy[i + 1] - line.xy[i - 1]);
    return total;
}

// The point `at` along the line, and the direction over the text's width.
void pointAlong(const ContourLine& line, double at, double width, ContourLabel* label)
{
    auto position = [&](double d, double* x, double* y) {
        double run = 0;
        for (std::size_t i = 2; i + 1 < line.xy.size(); i += 2) {
            const double step = std::hypot(line.xy[i] - line.xy[i - 2], line.xy[i + 1] - line.xy[i - 1]);
            if (run + step >= d && step > 0) {
                const double t = (d - run) / step;
                *x = line.xy[i - 2] + (line.xy[i] - line.xy[i - 2]) * t;
                *y = line.xy[i - 1] + (line.xy[i + 1] - line.xy[i - 1]) * t;
                return;
            }
            run += step;
        }
        *x = line.xy[line.xy.size() - 2];
        *y = line.xy.back();
    };
    double x0, y0, x1, y1, x, y;
    position(at - width / 2, &x0, &y0);
    position(at + width / 2, &x1, &y1);
    position(at, &x, &y);
    double angle = std::atan2(y1 - y0, x1 - x0);
    if (angle > M_PI / 2)
        angle -= M_PI;
    else if (angle < -M_PI / 2)
        angle += M_PI;
    label->x = static_cast<float>(x);
    label->y = static_cast<float>(y);
    label->angle = static_cast<float>(angle);
}

void setFont(cairo_t* cr, const Style& style)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, style.fontSize);
}

} // namespace

std::vector<ContourLabel> labels(cairo_t* cr, const std::vector<ContourLine>& lines, int size, const Style& style)
{
    std::vector<ContourLabel> out;
    setFont(cr, style);
    for (const ContourLine& line : lines) {
        if (!line.major || line.xy.size() < 4)
            continue;
        ContourLabel label;
        label.text = std::to_string(std::lround(line.elevation));
        cairo_text_extents_t ext;
        cairo_text_extents(cr, label.text.c_str(), &ext);
        const double total = length(line), width = ext.x_advance;
        if (total < width * 3)
            continue;
        pointAlong(line, total / 2, width, &label);
        const double reach = width / 2 + style.fontSize;
        if (label.x < reach || label.y < reach || label.x > size - reach || label.y > size - reach)
            continue;
        out.push_back(label);
    }
    return out;
}

void draw(cairo_t* cr, const std::vector<ContourLine>& lines, int size, const Style& style)
{
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, size, size);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, style.red, style.green, style.blue);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    // Not cairo's fastest anti-aliasing: it writes past its buffers on some
    // thin strokes (as the vector tiles found), and contour lines are thin.
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_set_tolerance(cr, 0.5);
    for (bool major : {false, true}) {
        for (const ContourLine& line : lines)
            if (line.major == major && line.xy.size() >= 4)
                addPath(cr, line);
        cairo_set_line_width(cr, major ? style.majorWidth : style.minorWidth);
        cairo_stroke(cr);
    }
    for (const ContourLabel& label : labels(cr, lines, size, style)) {
        cairo_text_extents_t ext;
        cairo_text_extents(cr, label.text.c_str(), &ext);
        cairo_save(cr);
        cairo_translate(cr, label.x, label.y);
        cairo_rotate(cr, label.angle);
        cairo_move_to(cr, -ext.x_advance / 2, ext.height / 2);
        cairo_text_path(cr, label.text.c_str());
        // A halo of the paper's colour so the line under the text stays out of it.
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke_preserve(cr);
        cairo_set_source_rgb(cr, style.red, style.green, style.blue);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    cairo_restore(cr);
}

} // namespace ContourPainter
