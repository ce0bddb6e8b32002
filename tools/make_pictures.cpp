// make_pictures: draws every picture that ships with the reader.
//
//   make_pictures DATA_DIR RESOURCES_DIR
//
// DATA_DIR receives the title pictures that the skins name (SImage/*.jpg, the
// default title picture SImage/2.jpg among them); RESOURCES_DIR receives the
// pictures compiled into the program (title, navigation button, splash, cover,
// window icon). Everything is drawn here from shapes, gradients and seeded noise,
// so a second run writes the same pictures again. It is a developer tool: run it
// by hand after changing a drawing and commit what it writes.
//
// Sizes the windows expect: title panel 866 x 112, navigation button 40 x 70,
// splash 334 x 143, cover 369 x 345, window icon 32 x 32; the desktop icon
// 48, 128 and 256 pixels square.
//
// The title panel is as wide as the reading pane, usually wider than 866 px. Each
// title picture therefore runs out at its right edge into the panel colour of the
// skin that names it (the reading pane's background), so the picture belongs at the
// panel's top left at its own size, with the panel colour beyond it; stretched, its
// round shapes would turn into ovals.
//
// The splash text needs a Noto CJK face (Noto Serif CJK SC or Noto Sans CJK SC).

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// Deterministic randomness: splitmix64 for sequences, a hash for noise lattices.

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

private:
    std::uint64_t state_;
};

double hash01(int x, int y, std::uint32_t seed)
{
    std::uint64_t h = std::uint64_t(std::uint32_t(x)) * 0x8DA6B343ull ^ std::uint64_t(std::uint32_t(y)) * 0xD8163841ull
        ^ std::uint64_t(seed) * 0xCB1AB31Full;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return double(h >> 11) * (1.0 / 9007199254740992.0);
}

double smooth(double t)
{
    return t * t * (3.0 - 2.0 * t);
}

double valueNoise(double x, double y, std::uint32_t seed)
{
    const int xi = int(std::floor(x));
    const int yi = int(std::floor(y));
    const double tx = smooth(x - xi);
    const double ty = smooth(y - yi);
    const double a = hash01(xi, yi, seed);
    const double b = hash01(xi + 1, yi, seed);
    const double c = hash01(xi, yi + 1, seed);
    const double d = hash01(xi + 1, yi + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

// Fractal noise in [0, 1].
double fbm(double x, double y, std::uint32_t seed, int octaves = 4)
{
    double sum = 0.0;
    double amp = 0.5;
    double norm = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x, y, seed + 101u * std::uint32_t(i));
        norm += amp;
        x *= 2.03;
        y *= 2.03;
        amp *= 0.5;
    }
    return sum / norm;
}

double clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

double smoothstep(double e0, double e1, double x)
{
    return smooth(clamp01((x - e0) / (e1 - e0)));
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    t = clamp01(t);
    return QColor::fromRgbF(
        float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
        float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QImage newImage(int w, int h, const QColor& fill = Qt::transparent)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

void setupPainter(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

// Separable box blur, three passes (close to a Gaussian), on a premultiplied image.
void blur(QImage& img, int radius)
{
    if (radius <= 0)
        return;
    const int w = img.width();
    const int h = img.height();
    std::vector<std::uint32_t> line(std::max(w, h));
    auto pass = [&](bool horizontal) {
        const int n = horizontal ? w : h;
        const int lines = horizontal ? h : w;
        for (int l = 0; l < lines; ++l) {
            auto px = [&](int i) -> QRgb& {
                return horizontal ? reinterpret_cast<QRgb*>(img.scanLine(l))[i]
                                  : reinterpret_cast<QRgb*>(img.scanLine(i))[l];
            };
            for (int i = 0; i < n; ++i)
                line[i] = px(i);
            int sum[4] = {0, 0, 0, 0};
            auto add = [&](int i, int sign) {
                const std::uint32_t v = line[std::clamp(i, 0, n - 1)];
                sum[0] += sign * int((v >> 24) & 0xff);
                sum[1] += sign * int((v >> 16) & 0xff);
                sum[2] += sign * int((v >> 8) & 0xff);
                sum[3] += sign * int(v & 0xff);
            };
            for (int i = -radius; i <= radius; ++i)
                add(i, 1);
            const int count = 2 * radius + 1;
            for (int i = 0; i < n; ++i) {
                px(i) = (std::uint32_t(sum[0] / count) << 24) | (std::uint32_t(sum[1] / count) << 16)
                    | (std::uint32_t(sum[2] / count) << 8) | std::uint32_t(sum[3] / count);
                add(i + radius + 1, 1);
                add(i - radius, -1);
            }
        }
    };
    for (int k = 0; k < 3; ++k) {
        pass(true);
        pass(false);
    }
}

// ---------------------------------------------------------------------------
// Paper and washes.

struct Paper {
    QColor base;          // the paper's main tone
    QColor shade;         // what darker patches drift towards
    QColor light;         // what lighter patches drift towards
    double clouds = 0.5;  // strength of the large soft mottling
    double grain = 0.25;  // strength of the fine grain
    double scale = 60.0;  // size of the mottling in pixels
    std::uint32_t seed = 1;
};

void paintPaper(QImage& img, const Paper& paper)
{
    for (int y = 0; y < img.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const double cloud = fbm(x / paper.scale, y / (paper.scale * 0.7), paper.seed, 5) - 0.5;
            const double fine = fbm(x / 3.0, y / 9.0, paper.seed + 7, 2) - 0.5;
            const double grain = hash01(x, y, paper.seed + 13) - 0.5;
            const double t = cloud * paper.clouds * 2.0 + (fine * 0.6 + grain * 0.4) * paper.grain * 2.0;
            const QColor c = t < 0 ? mix(paper.base, paper.shade, -t) : mix(paper.base, paper.light, t);
            row[x] = c.rgba();
        }
    }
    // A few long fibres, as in hand-made paper.
    QPainter p(&img);
    setupPainter(p);
    Rng rng(paper.seed * 31u + 5u);
    const int fibres = img.width() * img.height() / 900;
    for (int i = 0; i < fibres; ++i) {
        const QPointF a(rng.range(0, img.width()), rng.range(0, img.height()));
        const double ang = rng.range(0, 2 * kPi);
        const double len = rng.range(6, 22);
        const QPointF b = a + QPointF(std::cos(ang) * len, std::sin(ang) * len);
        const QPointF c = (a + b) / 2 + QPointF(rng.range(-4, 4), rng.range(-4, 4));
        QPainterPath f(a);
        f.quadTo(c, b);
        const bool dark = rng.uniform() < 0.4;
        p.setPen(QPen(withAlpha(dark ? paper.shade : paper.light, dark ? 34 : 60), rng.range(0.4, 0.9)));
        p.setBrush(Qt::NoBrush);
        p.drawPath(f);
    }
}

// Blends the columns from x0 to the right edge into the given colour, so a picture
// drawn at the left of a wider panel runs into the panel's own background without a
// visible seam.
void fadeRightEdge(QImage& img, const QColor& to, int x0)
{
    for (int y = 0; y < img.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = x0; x < img.width(); ++x) {
            const double t = smoothstep(x0, img.width() - 1, x);
            row[x] = mix(QColor::fromRgba(row[x]), to, t).rgba();
        }
    }
}

// Darkens the borders, as on old paper.
void vignette(QImage& img, const QColor& edge, double strength, double reach, bool right = true)
{
    const double w = img.width();
    const double h = img.height();
    for (int y = 0; y < img.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            double d = std::min({double(x), double(y), h - 1 - y});
            if (right)
                d = std::min(d, w - 1 - x);
            const double wobble = (fbm(x / 14.0, y / 14.0, 77, 3) - 0.5) * reach * 0.9;
            const double t = (1.0 - smoothstep(0, reach, d + wobble)) * strength;
            row[x] = mix(QColor::fromRgba(row[x]), edge, t).rgba();
        }
    }
}

// ---------------------------------------------------------------------------
// Ink-wash mountains.

struct Peak {
    double x;       // centre
    double height;  // above the base line
    double width;   // half width, roughly
};

double ridgeHeight(double x, const std::vector<Peak>& peaks, double rough, std::uint32_t seed)
{
    double h = 0;
    for (const Peak& pk : peaks) {
        const double d = (x - pk.x) / pk.width;
        h = std::max(h, pk.height * std::exp(-d * d * 1.4) * (1.0 - 0.15 * std::abs(d)));
    }
    const double n = fbm(x / 18.0, 0.5, seed, 4) - 0.5;
    return std::max(0.0, h * (1.0 + rough * n));
}

// Draws one layer of mountains whose ridge runs over the base line; the ink is
// darkest at the ridge and dissolves downwards into mist over mistDepth pixels
// below the base line (0: a flat silhouette without mist).
void inkMountains(QImage& target, const std::vector<Peak>& peaks, double x0, double x1, double baseY, double mistDepth,
                  const QColor& ink, int alpha, double rough, std::uint32_t seed, int softness = 1, bool strokes = true)
{
    QImage layer = newImage(target.width(), target.height());
    {
        QPainter p(&layer);
        setupPainter(p);
        QPainterPath path;
        const double bottom = baseY + std::max(mistDepth, 4.0);
        path.moveTo(x0, bottom);
        double top = baseY;
        std::vector<QPointF> ridge;
        for (double x = x0; x <= x1; x += 1.5) {
            const double y = baseY - ridgeHeight(x, peaks, rough, seed);
            ridge.emplace_back(x, y);
            top = std::min(top, y);
            path.lineTo(x, y);
        }
        path.lineTo(x1, bottom);
        path.closeSubpath();
        QLinearGradient g(0, top, 0, baseY + mistDepth);
        g.setColorAt(0.0, withAlpha(ink, alpha));
        g.setColorAt(0.35, withAlpha(ink, int(alpha * 0.7)));
        g.setColorAt(1.0, withAlpha(ink, 0));
        p.setPen(Qt::NoPen);
        if (mistDepth > 0)
            p.setBrush(g);
        else
            p.setBrush(withAlpha(ink, alpha));  // a silhouette, no mist
        p.drawPath(path);
        if (strokes) {
            // Texture strokes running down the slopes.
            Rng rng(seed * 7u + 3u);
            for (std::size_t i = 0; i < ridge.size(); i += 3) {
                const QPointF a = ridge[i];
                if (a.y() > baseY - 3)
                    continue;
                const double len = rng.range(4, (baseY - a.y()) * 0.8 + 5);
                const double lean = rng.range(-0.5, 0.5);
                QPainterPath s(a);
                s.quadTo(a + QPointF(lean * len * 0.3, len * 0.5), a + QPointF(lean * len, len));
                QLinearGradient sg(a, a + QPointF(0, len));
                sg.setColorAt(0, withAlpha(ink, int(alpha * 0.55)));
                sg.setColorAt(1, withAlpha(ink, 0));
                p.setPen(QPen(QBrush(sg), rng.range(0.6, 1.6), Qt::SolidLine, Qt::RoundCap));
                p.setBrush(Qt::NoBrush);
                p.drawPath(s);
            }
            // The ridge line itself, a little darker.
            QPainterPath line;
            line.moveTo(ridge.front());
            for (const QPointF& pt : ridge)
                line.lineTo(pt);
            p.setPen(QPen(withAlpha(ink, std::min(255, int(alpha * 0.6))), 1.1));
            p.drawPath(line);
        }
    }
    blur(layer, softness);
    QPainter p(&target);
    p.drawImage(0, 0, layer);
}

// ---------------------------------------------------------------------------
// Plum / peach blossom.

void blossom(QPainter& p, QPointF c, double r, double rot, const QColor& petal, const QColor& deep, bool open = true)
{
    p.save();
    p.translate(c);
    p.rotate(rot);
    if (!open) {
        // A bud: a closed drop of colour with a green calyx.
        QRadialGradient g(QPointF(-r * 0.2, -r * 0.3), r * 1.1);
        g.setColorAt(0, petal.lighter(115));
        g.setColorAt(1, deep);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(QPointF(0, -r * 0.2), r * 0.55, r * 0.7);
        p.setBrush(QColor(92, 70, 52));
        p.drawEllipse(QPointF(0, r * 0.45), r * 0.3, r * 0.22);
        p.restore();
        return;
    }
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.rotate(i * 72.0);
        QPainterPath pet;
        pet.moveTo(0, 0);
        pet.cubicTo(-r * 0.75, -r * 0.25, -r * 0.7, -r * 1.05, -r * 0.12, -r * 1.0);
        pet.quadTo(0, -r * 0.88, r * 0.12, -r * 1.0);
        pet.cubicTo(r * 0.7, -r * 1.05, r * 0.75, -r * 0.25, 0, 0);
        QRadialGradient g(QPointF(0, 0), r * 1.05);
        g.setColorAt(0.0, deep);
        g.setColorAt(0.35, petal);
        g.setColorAt(1.0, petal.lighter(112));
        p.setPen(QPen(withAlpha(deep, 90), 0.5));
        p.setBrush(g);
        p.drawPath(pet);
        p.restore();
    }
    // Stamens.
    for (int i = 0; i < 9; ++i) {
        const double a = i * 2 * kPi / 9 + 0.3;
        const QPointF tip(std::cos(a) * r * 0.5, std::sin(a) * r * 0.5);
        p.setPen(QPen(QColor(150, 40, 60, 200), 0.6));
        p.drawLine(QPointF(0, 0), tip);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(245, 205, 90));
        p.drawEllipse(tip, r * 0.09, r * 0.09);
    }
    p.setBrush(QColor(200, 120, 60));
    p.drawEllipse(QPointF(0, 0), r * 0.12, r * 0.12);
    p.restore();
}

struct Twig {
    QPointF at;
    double angle;
};

// Grows a branch from a point: a stroked path that thins towards its end, with
// side twigs. Each end and some joints carry flowers, drawn by the callback.
void branch(QPainter& p, QPointF start, double angle, double length, double width, Rng& rng, int depth,
            const QColor& bark, std::vector<Twig>& ends)
{
    QPointF pos = start;
    double a = angle;
    const int steps = std::max(3, int(length / 7));
    const double step = length / steps;
    for (int i = 0; i < steps; ++i) {
        a += rng.range(-0.2, 0.2);
        const QPointF next = pos + QPointF(std::cos(a) * step, std::sin(a) * step);
        const double wNow = width * (1.0 - 0.75 * double(i) / steps);
        p.setPen(QPen(bark, std::max(0.6, wNow), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(pos, next);
        if (depth > 0 && i > 0 && i < steps - 1 && rng.uniform() < 0.32) {
            const double side = rng.uniform() < 0.5 ? -1.0 : 1.0;
            branch(p, next, a + side * rng.range(0.5, 1.0), length * rng.range(0.3, 0.5), wNow * 0.6, rng, depth - 1,
                   bark, ends);
        }
        if (i > steps / 3 && rng.uniform() < 0.3)
            ends.push_back({next, a});
        pos = next;
    }
    ends.push_back({pos, a});
}

// ---------------------------------------------------------------------------
// Bamboo.

void bambooStalk(QPainter& p, double x, double top, double bottom, double width, double lean, const QColor& light,
                 const QColor& dark, std::uint32_t seed)
{
    Rng rng(seed);
    double y = bottom;
    while (y > top) {
        const double seg = rng.range(34, 48);
        const double y2 = std::max(top, y - seg);
        const double xa = x + lean * (bottom - y);
        const double xb = x + lean * (bottom - y2);
        QPainterPath body;
        body.moveTo(xa - width / 2, y - 1.5);
        body.lineTo(xb - width / 2, y2 + 1.5);
        body.lineTo(xb + width / 2, y2 + 1.5);
        body.lineTo(xa + width / 2, y - 1.5);
        body.closeSubpath();
        QLinearGradient g(xa - width / 2, 0, xa + width / 2, 0);
        g.setColorAt(0.0, dark);
        g.setColorAt(0.3, light);
        g.setColorAt(0.45, light.lighter(108));
        g.setColorAt(1.0, dark.darker(110));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(body);
        // The node: a darker ring with a pale edge below it.
        if (y2 > top) {
            p.setPen(QPen(dark.darker(130), 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(xb - width / 2 - 0.8, y2 + 0.5), QPointF(xb + width / 2 + 0.8, y2 + 0.5));
            p.setPen(QPen(withAlpha(light.lighter(125), 200), 0.9, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(xb - width / 2, y2 + 2.2), QPointF(xb + width / 2, y2 + 2.2));
        }
        y = y2;
    }
}

// One leaf: a long blade, widest near its base, its tip bent to one side.
void bambooLeaf(QPainter& p, QPointF base, double angleDeg, double length, double width, double bend,
                const QColor& light, const QColor& dark)
{
    p.save();
    p.translate(base);
    p.rotate(angleDeg);
    const QPointF tip(length, bend * length);
    QPainterPath leaf;
    leaf.moveTo(0, 0);
    leaf.cubicTo(length * 0.2, -width * 0.95, length * 0.65, -width * 0.6 + bend * length * 0.5, tip.x(), tip.y());
    leaf.cubicTo(length * 0.65, width * 0.45 + bend * length * 0.6, length * 0.2, width * 0.7, 0, 0);
    QLinearGradient g(0, 0, length, 0);
    g.setColorAt(0, dark);
    g.setColorAt(0.45, light);
    g.setColorAt(1, mix(light, dark, 0.45));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(leaf);
    QPainterPath rib(QPointF(length * 0.04, 0));
    rib.quadTo(QPointF(length * 0.6, bend * length * 0.35), tip * 0.92);
    p.setPen(QPen(withAlpha(light.lighter(130), 140), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rib);
    p.restore();
}

// A spray of leaves fanning out from one twig point.
void leafSpray(QPainter& p, QPointF at, double baseAngle, int count, double length, const QColor& light,
               const QColor& dark, Rng& rng)
{
    for (int i = 0; i < count; ++i) {
        const double ang = baseAngle + (i - (count - 1) / 2.0) * rng.range(16, 26);
        const double len = length * rng.range(0.75, 1.1);
        const double tone = rng.range(-0.15, 0.2);
        const QColor l = tone < 0 ? mix(light, dark, -tone) : mix(light, QColor(190, 220, 150), tone);
        bambooLeaf(p, at, ang, len, len * rng.range(0.13, 0.18), rng.range(-0.12, 0.12), l, dark);
    }
}

// ---------------------------------------------------------------------------
// Clouds and seals.

// Ruyi cloud: a head of three round curls over a flat base, with a tail that
// curls up at its end. Filled with a light wash and outlined.
void ruyiCloud(QPainter& p, QPointF c, double r, bool mirrored, const QColor& line, const QColor& wash, double width)
{
    p.save();
    p.translate(c);
    p.scale(mirrored ? -r : r, r);
    struct Curl {
        QPointF at;
        double radius;
    };
    const Curl curls[] = {{{0, 0}, 1.0}, {{1.3, 0.35}, 0.68}, {{-1.2, 0.42}, 0.58}};
    QPainterPath head;
    for (const Curl& k : curls) {
        QPainterPath circle;
        circle.addEllipse(k.at, k.radius, k.radius);
        head = head.united(circle);
    }
    QPainterPath base;
    base.addRoundedRect(QRectF(-1.75, 0.45, 3.7, 0.7), 0.35, 0.35);
    head = head.united(base);
    QPainterPath tail;
    tail.moveTo(1.8, 0.72);
    tail.cubicTo(2.6, 0.55, 3.1, 0.95, 3.6, 0.55);
    tail.cubicTo(3.95, 0.25, 3.7, -0.15, 3.4, -0.05);
    tail.cubicTo(3.15, 0.05, 3.25, 0.4, 3.5, 0.3);
    const QPen pen(line, width / r, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(Qt::NoPen);
    p.setBrush(wash);
    p.drawPath(head);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(head.simplified());
    p.drawPath(tail);
    // A spiral inside each curl, turning inwards.
    for (const Curl& k : curls) {
        QPainterPath spiral;
        const double turns = 1.6;
        bool first = true;
        for (double t = 0; t <= turns * 2 * kPi; t += 0.12) {
            const double rr = k.radius * 0.72 * (1.0 - t / (turns * 2 * kPi) * 0.85);
            const QPointF pt = k.at + QPointF(std::cos(t + kPi * 0.8) * rr, std::sin(t + kPi * 0.8) * rr);
            if (first) {
                spiral.moveTo(pt);
                first = false;
            } else {
                spiral.lineTo(pt);
            }
        }
        p.drawPath(spiral);
    }
    p.restore();
}

// A red seal impression without characters: a square frame with a few bold
// strokes, worn at the edges.
void seal(QImage& img, QRectF r, const QColor& red, std::uint32_t seed)
{
    QImage layer = newImage(img.width(), img.height());
    {
        QPainter p(&layer);
        setupPainter(p);
        p.setPen(Qt::NoPen);
        p.setBrush(red);
        QPainterPath outer;
        outer.addRoundedRect(r, r.width() * 0.08, r.width() * 0.08);
        QPainterPath inner;
        const double m = r.width() * 0.12;
        inner.addRect(r.adjusted(m, m, -m, -m));
        p.drawPath(outer.subtracted(inner));
        // In the field, a square key-fret spiral, as cut in stone.
        const QRectF in = r.adjusted(m * 1.5, m * 1.5, -m * 1.5, -m * 1.5);
        const double d = in.width() / 4.4;
        QPointF at = in.center() - QPointF(0, d * 0.5);
        QPainterPath fret(at);
        const QPointF dirs[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
        for (int i = 0; i < 7; ++i) {
            at += dirs[i % 4] * (d * (i / 2 + 1));
            fret.lineTo(at);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(red, r.width() * 0.1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setClipRect(in.adjusted(-m * 0.2, -m * 0.2, m * 0.2, m * 0.2));
        p.drawPath(fret);
        p.setClipping(false);
    }
    // Wear: knock out specks where the paste did not take.
    for (int y = int(r.top()); y <= int(r.bottom()); ++y) {
        if (y < 0 || y >= layer.height())
            continue;
        QRgb* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = int(r.left()); x <= int(r.right()); ++x) {
            if (x < 0 || x >= layer.width())
                continue;
            const double n = fbm(x / 2.5, y / 2.5, seed, 3);
            const double keep = smoothstep(0.25, 0.42, n);
            // Premultiplied: scaling every channel scales the coverage.
            const QRgb v = row[x];
            row[x] = qRgba(int(qRed(v) * keep), int(qGreen(v) * keep), int(qBlue(v) * keep), int(qAlpha(v) * keep));
        }
    }
    QPainter p(&img);
    p.drawImage(0, 0, layer);
}

// ---------------------------------------------------------------------------
// Night sky.

void stars(QPainter& p, QRectF area, int count, std::uint32_t seed, const std::function<double(QPointF)>& density)
{
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const QPointF c(rng.range(area.left(), area.right()), rng.range(area.top(), area.bottom()));
        const double size = std::pow(rng.uniform(), 4.0) * 1.1 + 0.35;
        const double keep = density(c);
        const double pick = rng.uniform();
        if (pick > keep)
            continue;
        const int alpha = int(rng.range(110, 240));
        QRadialGradient g(c, size * 2.6);
        g.setColorAt(0, QColor(255, 250, 230, alpha));
        g.setColorAt(0.35, QColor(230, 230, 255, alpha / 2));
        g.setColorAt(1, QColor(200, 210, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, size * 2.6, size * 2.6);
    }
}

void crescentMoon(QPainter& p, QPointF c, double r, const QColor& glowCol)
{
    QRadialGradient glow(c, r * 3.2);
    glow.setColorAt(0, withAlpha(glowCol, 90));
    glow.setColorAt(0.35, withAlpha(glowCol, 35));
    glow.setColorAt(1, withAlpha(glowCol, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(c, r * 3.2, r * 3.2);

    QPainterPath full;
    full.addEllipse(c, r, r);
    QPainterPath bite;
    bite.addEllipse(c + QPointF(r * 0.45, -r * 0.28), r * 0.92, r * 0.92);
    QRadialGradient body(c - QPointF(r * 0.4, -r * 0.1), r * 1.3);
    body.setColorAt(0, QColor(255, 250, 222));
    body.setColorAt(1, QColor(238, 214, 150));
    p.setBrush(body);
    p.drawPath(full.subtracted(bite));
}

// A wisp of cloud: several soft ellipses, blurred together.
void cloudWisp(QImage& img, QPointF c, double w, double h, const QColor& col, int alpha, std::uint32_t seed)
{
    QImage layer = newImage(img.width(), img.height());
    {
        QPainter p(&layer);
        setupPainter(p);
        p.setPen(Qt::NoPen);
        Rng rng(seed);
        for (int i = 0; i < 7; ++i) {
            const QPointF e = c + QPointF(rng.range(-w / 2, w / 2), rng.range(-h / 3, h / 3));
            p.setBrush(withAlpha(col, alpha));
            p.drawEllipse(e, rng.range(w * 0.15, w * 0.3), rng.range(h * 0.25, h * 0.45));
        }
    }
    blur(layer, 4);
    QPainter p(&img);
    p.drawImage(0, 0, layer);
}

// ---------------------------------------------------------------------------
// Title pictures, 866 x 112. The book's name is drawn over the upper half and the
// chapter title over the lower half, both centred on the panel, so the middle stays
// quiet and light (or, for the night skin, quiet and dark). The right edge runs into
// the panel colour of the skin that uses the picture.

constexpr int kTitleW = 866;
constexpr int kTitleH = 112;

// Peach blossom on pale blue paper: the default title picture.
QImage drawTitleBlossom()
{
    const QColor panel(192, 240, 249);
    QImage img = newImage(kTitleW, kTitleH);
    paintPaper(img, {QColor(212, 245, 251), QColor(168, 222, 234), QColor(246, 253, 255), 0.45, 0.18, 70.0, 11});
    // Lighter in the middle, where the titles go.
    {
        QPainter p(&img);
        setupPainter(p);
        QRadialGradient g(QPointF(433, 56), 430);
        g.setColorAt(0, QColor(255, 255, 255, 90));
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRect(img.rect());
    }
    // Faint distant hills along the bottom.
    inkMountains(img, {{60, 26, 70}, {170, 18, 60}, {300, 12, 80}, {560, 10, 90}, {700, 20, 70}, {800, 14, 60}}, 0,
                 kTitleW, 112, 12, QColor(90, 160, 178), 70, 0.6, 21, 2, false);
    QPainter p(&img);
    setupPainter(p);
    const QColor bark(92, 64, 52);
    const QColor petal(250, 196, 210);
    const QColor deep(222, 90, 128);
    // Left: a branch reaching in from the top-left corner.
    {
        Rng rng(5);
        std::vector<Twig> ends;
        branch(p, QPointF(-6, 10), 0.22, 190, 7.5, rng, 2, bark, ends);
        branch(p, QPointF(-6, 74), -0.25, 100, 4.5, rng, 1, bark, ends);
        Rng fl(9);
        for (const Twig& t : ends) {
            if (t.at.x() > 190 || t.at.y() < 2 || t.at.y() > 110 || fl.uniform() < 0.15)
                continue;
            const bool open = fl.uniform() < 0.72;
            blossom(p, t.at + QPointF(fl.range(-2, 2), fl.range(-2, 2)), open ? fl.range(6.5, 9.5) : 4.2,
                    fl.range(0, 72), petal, deep, open);
        }
    }
    // Right: a smaller spray rising from the bottom.
    {
        Rng rng(17);
        std::vector<Twig> ends;
        branch(p, QPointF(826, 118), -1.95, 86, 4.0, rng, 1, bark, ends);
        Rng fl(23);
        for (const Twig& t : ends) {
            if (fl.uniform() < 0.25)
                continue;
            const bool open = fl.uniform() < 0.7;
            blossom(p, t.at, open ? fl.range(5.5, 8.0) : 3.8, fl.range(0, 72), petal, deep, open);
        }
    }
    // Petals drifting across.
    {
        Rng rng(31);
        for (int i = 0; i < 16; ++i) {
            const QPointF c(rng.range(150, 720), rng.range(6, 106));
            // Keep the middle clear.
            if (c.x() > 260 && c.x() < 620 && rng.uniform() < 0.8)
                continue;
            p.save();
            p.translate(c);
            p.rotate(rng.range(0, 360));
            p.setPen(Qt::NoPen);
            p.setBrush(withAlpha(petal.darker(104), 170));
            p.drawEllipse(QPointF(0, 0), 3.2, 2.0);
            p.restore();
        }
    }
    p.end();
    fadeRightEdge(img, panel, 836);
    return img;
}

// Ink-wash mountains on rice paper.
QImage drawTitleInk()
{
    const QColor panel(244, 241, 232);
    QImage img = newImage(kTitleW, kTitleH);
    paintPaper(img, {panel, QColor(218, 212, 196), QColor(252, 251, 246), 0.4, 0.2, 55.0, 41});
    // Far range, pale; then a nearer, darker one at the left.
    inkMountains(img, {{40, 70, 50}, {120, 92, 45}, {205, 60, 40}, {290, 30, 50}}, -10, 360, 110, 40,
                 QColor(120, 124, 126), 120, 0.7, 43, 1);
    inkMountains(img, {{10, 48, 40}, {80, 62, 34}, {150, 38, 30}}, -10, 230, 118, 36, QColor(40, 42, 44), 200, 0.8, 47,
                 1);
    // Right: a low range across the bottom, a lone peak and a boat in the mist.
    inkMountains(img, {{640, 30, 45}, {720, 56, 40}, {790, 34, 40}}, 560, 866, 112, 30, QColor(110, 114, 116), 110, 0.7,
                 53, 1);
    QPainter p(&img);
    setupPainter(p);
    // Boat with a fisherman.
    {
        const QPointF b(560, 96);
        QPainterPath hull;
        hull.moveTo(b + QPointF(-16, 0));
        hull.quadTo(b + QPointF(0, 6), b + QPointF(18, -1));
        hull.quadTo(b + QPointF(0, 2.5), b + QPointF(-16, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(50, 50, 52, 210));
        p.drawPath(hull);
        p.setPen(QPen(QColor(50, 50, 52, 200), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(b + QPointF(4, 0), b + QPointF(4, -7));
        QPainterPath hat;
        hat.moveTo(b + QPointF(0, -7));
        hat.lineTo(b + QPointF(4, -10.5));
        hat.lineTo(b + QPointF(8, -7));
        hat.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(50, 50, 52, 210));
        p.drawPath(hat);
        p.setPen(QPen(QColor(60, 60, 62, 150), 0.7));
        p.drawLine(b + QPointF(6, -4), b + QPointF(30, -22));
        // Ripples.
        p.setPen(QPen(QColor(80, 80, 82, 70), 0.8));
        p.drawLine(b + QPointF(-28, 4), b + QPointF(-10, 4));
        p.drawLine(b + QPointF(14, 5), b + QPointF(36, 5));
    }
    // Birds.
    {
        Rng rng(61);
        const QPointF base(330, 22);
        for (int i = 0; i < 4; ++i) {
            const QPointF c = base + QPointF(i * 16 + rng.range(-4, 4), rng.range(-6, 8));
            const double s = rng.range(2.5, 4.0);
            QPainterPath bird(c + QPointF(-s, -s * 0.3));
            bird.quadTo(c + QPointF(-s * 0.4, -s * 0.6), c);
            bird.quadTo(c + QPointF(s * 0.4, -s * 0.6), c + QPointF(s, -s * 0.35));
            p.setPen(QPen(QColor(40, 40, 42, 190), 0.9, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawPath(bird);
        }
    }
    p.end();
    seal(img, QRectF(820, 20, 22, 22), QColor(178, 34, 34, 215), 67);
    fadeRightEdge(img, panel, 846);
    return img;
}

// Moonlit night: dark sky, stars, a crescent moon and hills in silhouette.
QImage drawTitleNight()
{
    const QColor panel(28, 31, 42);
    QImage img = newImage(kTitleW, kTitleH);
    {
        QPainter p(&img);
        setupPainter(p);
        QLinearGradient sky(0, 0, 0, kTitleH);
        sky.setColorAt(0, QColor(16, 20, 38));
        sky.setColorAt(0.55, QColor(30, 34, 52));
        sky.setColorAt(1, QColor(46, 52, 76));
        p.fillRect(img.rect(), sky);
    }
    // A little grain so the sky is not flat.
    for (int y = 0; y < kTitleH; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < kTitleW; ++x) {
            const double n = (fbm(x / 90.0, y / 40.0, 71, 4) - 0.5) * 0.5 + (hash01(x, y, 73) - 0.5) * 0.06;
            row[x] = mix(QColor::fromRgba(row[x]), n < 0 ? QColor(8, 10, 20) : QColor(52, 58, 88), std::abs(n)).rgba();
        }
    }
    cloudWisp(img, QPointF(700, 28), 150, 16, QColor(120, 130, 170), 40, 75);
    cloudWisp(img, QPointF(130, 22), 120, 14, QColor(120, 130, 170), 32, 77);
    {
        QPainter p(&img);
        setupPainter(p);
        stars(p, QRectF(0, 0, kTitleW, kTitleH), 260, 79, [](QPointF c) {
            // Fewer stars low down and far to the right, none near the moon.
            const double low = 1.0 - smoothstep(40, 100, c.y());
            const double right = 1.0 - smoothstep(780, 860, c.x());
            const double moon = smoothstep(30, 60, std::hypot(c.x() - 800, c.y() - 40));
            return low * right * moon;
        });
        crescentMoon(p, QPointF(800, 40), 18, QColor(250, 226, 160));
    }
    // Hills at the bottom, with a pavilion on the left.
    inkMountains(img, {{150, 24, 80}, {420, 12, 120}, {640, 16, 90}, {760, 24, 70}}, -10, 880, 112, 0,
                 QColor(22, 26, 42), 200, 0.5, 83, 1, false);
    inkMountains(img, {{50, 34, 60}, {130, 26, 50}, {820, 14, 50}}, -10, 880, 114, 0, QColor(8, 10, 18), 240, 0.4, 81,
                 1, false);
    {
        QPainter p(&img);
        setupPainter(p);
        p.setPen(Qt::NoPen);
        const QColor ink(6, 8, 14);
        p.setBrush(ink);
        const double cx = 92;
        const double floor = 91;
        // Platform and pillars.
        p.drawRect(QRectF(cx - 22, floor, 44, 4));
        p.drawRect(QRectF(cx - 17, floor - 26, 3, 26));
        p.drawRect(QRectF(cx + 14, floor - 26, 3, 26));
        p.drawRect(QRectF(cx - 18, floor - 9, 36, 1.5));
        // Roof with upturned eaves and a finial.
        QPainterPath roof;
        roof.moveTo(cx - 31, floor - 31);
        roof.quadTo(cx - 22, floor - 28, cx - 16, floor - 36);
        roof.quadTo(cx - 6, floor - 41, cx, floor - 48);
        roof.quadTo(cx + 6, floor - 41, cx + 16, floor - 36);
        roof.quadTo(cx + 22, floor - 28, cx + 31, floor - 31);
        roof.quadTo(cx + 20, floor - 25, cx, floor - 26);
        roof.quadTo(cx - 20, floor - 25, cx - 31, floor - 31);
        p.drawPath(roof);
        p.drawRect(QRectF(cx - 0.8, floor - 54, 1.6, 7));
        p.drawEllipse(QPointF(cx, floor - 54), 1.8, 1.8);
        // A lantern hanging under the roof.
        QRadialGradient glow(QPointF(cx, floor - 15), 16);
        glow.setColorAt(0, QColor(255, 180, 90, 120));
        glow.setColorAt(1, QColor(255, 180, 90, 0));
        p.setBrush(glow);
        p.drawEllipse(QPointF(cx, floor - 15), 16, 16);
        p.setPen(QPen(ink, 0.8));
        p.drawLine(QPointF(cx, floor - 26), QPointF(cx, floor - 19));
        p.setPen(Qt::NoPen);
        QRadialGradient lamp(QPointF(cx - 1, floor - 16), 5);
        lamp.setColorAt(0, QColor(255, 214, 130));
        lamp.setColorAt(1, QColor(214, 84, 40));
        p.setBrush(lamp);
        p.drawEllipse(QPointF(cx, floor - 15), 3.6, 4.4);
    }
    fadeRightEdge(img, panel, 836);
    return img;
}

// Green bamboo on pale green paper.
QImage drawTitleBamboo()
{
    const QColor panel(232, 244, 224);
    QImage img = newImage(kTitleW, kTitleH);
    paintPaper(img, {panel, QColor(205, 226, 192), QColor(248, 252, 244), 0.4, 0.18, 60.0, 91});
    // Soft green wash at the left.
    {
        QPainter p(&img);
        setupPainter(p);
        QRadialGradient g(QPointF(40, 80), 260);
        g.setColorAt(0, QColor(150, 200, 140, 70));
        g.setColorAt(1, QColor(150, 200, 140, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRect(img.rect());
    }
    // Far stalks, pale and blurred, then the near stalks.
    {
        QImage far = newImage(kTitleW, kTitleH);
        {
            QPainter p(&far);
            setupPainter(p);
            bambooStalk(p, 118, -5, 120, 7, 0.05, QColor(176, 210, 160), QColor(140, 180, 128), 93);
            bambooStalk(p, 150, -5, 120, 5, -0.03, QColor(176, 210, 160), QColor(140, 180, 128), 95);
            bambooStalk(p, 690, -5, 120, 6, 0.04, QColor(176, 210, 160), QColor(140, 180, 128), 97);
        }
        blur(far, 1);
        QPainter p(&img);
        p.drawImage(0, 0, far);
    }
    QPainter p(&img);
    setupPainter(p);
    const QColor light(120, 178, 92);
    const QColor dark(42, 96, 46);
    bambooStalk(p, 26, -5, 120, 12, 0.04, light, dark, 101);
    bambooStalk(p, 64, -5, 120, 9, -0.06, light, dark, 103);
    {
        Rng rng(105);
        leafSpray(p, QPointF(70, 30), 20, 4, 46, QColor(100, 160, 80), QColor(30, 80, 36), rng);
        leafSpray(p, QPointF(32, 70), 160, 3, 40, QColor(100, 160, 80), QColor(30, 80, 36), rng);
        leafSpray(p, QPointF(60, 88), 30, 3, 38, QColor(110, 170, 88), QColor(34, 86, 40), rng);
        leafSpray(p, QPointF(20, 12), 50, 3, 36, QColor(110, 170, 88), QColor(34, 86, 40), rng);
        leafSpray(p, QPointF(66, 58), 10, 3, 34, QColor(128, 182, 100), QColor(40, 96, 46), rng);
        leafSpray(p, QPointF(28, 40), 150, 2, 30, QColor(128, 182, 100), QColor(40, 96, 46), rng);
    }
    // Right: a twig hanging in from the top with a few leaves.
    {
        p.setPen(QPen(QColor(60, 110, 56), 2.0, Qt::SolidLine, Qt::RoundCap));
        QPainterPath twig(QPointF(830, -2));
        twig.quadTo(QPointF(790, 14), QPointF(752, 20));
        p.setBrush(Qt::NoBrush);
        p.drawPath(twig);
        Rng rng(107);
        leafSpray(p, QPointF(752, 20), 150, 4, 40, QColor(110, 170, 88), QColor(34, 86, 40), rng);
        leafSpray(p, QPointF(795, 10), 110, 3, 34, QColor(120, 180, 96), QColor(40, 94, 44), rng);
    }
    p.end();
    fadeRightEdge(img, panel, 836);
    return img;
}

// Old parchment mounted on a scroll: a wooden roller and a strip of brocade at the
// left, cloud scrolls in faded cinnabar, worn edges.
QImage drawTitleScroll()
{
    const QColor panel(245, 232, 200);
    QImage img = newImage(kTitleW, kTitleH);
    paintPaper(img, {panel, QColor(214, 186, 138), QColor(252, 244, 220), 0.55, 0.2, 45.0, 111});
    {
        QPainter p(&img);
        setupPainter(p);
        Rng rng(113);
        for (int i = 0; i < 7; ++i) {
            const QPointF c(rng.range(60, 800), rng.range(0, 112));
            if (c.x() > 280 && c.x() < 600)
                continue;
            const double r = rng.range(10, 24);
            QRadialGradient g(c, r);
            g.setColorAt(0.0, QColor(170, 120, 60, 26));
            g.setColorAt(1.0, QColor(170, 120, 60, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawEllipse(c, r, r * 0.8);
        }
    }
    vignette(img, QColor(150, 100, 50), 0.55, 9, false);
    QPainter p(&img);
    setupPainter(p);
    // Thin double rules along the top and bottom, as on a mounted scroll.
    {
        const QColor rule(150, 60, 40, 150);
        for (double y : {7.0, 10.0, 101.5, 104.5}) {
            QLinearGradient g(60, 0, 866, 0);
            g.setColorAt(0, rule);
            g.setColorAt(0.85, rule);
            g.setColorAt(1, withAlpha(rule, 0));
            p.setPen(QPen(QBrush(g), y == 7.0 || y == 104.5 ? 1.4 : 0.7));
            p.drawLine(QPointF(52, y), QPointF(866, y));
        }
    }
    // Ruyi clouds at the left and right ends.
    const QColor cinnabar(168, 64, 40, 150);
    const QColor wash(214, 150, 100, 40);
    ruyiCloud(p, QPointF(84, 32), 12, false, cinnabar, wash, 1.2);
    ruyiCloud(p, QPointF(128, 80), 9, false, cinnabar, wash, 1.1);
    ruyiCloud(p, QPointF(748, 34), 12, true, cinnabar, wash, 1.2);
    ruyiCloud(p, QPointF(706, 80), 9, true, cinnabar, wash, 1.1);
    // Brocade strip: dark red silk with a small gold lozenge pattern.
    {
        const QRectF strip(22, 0, 22, kTitleH);
        p.fillRect(strip, QColor(122, 32, 28));
        p.setPen(Qt::NoPen);
        for (int row = 0; row < 16; ++row) {
            for (int col = 0; col < 2; ++col) {
                const QPointF c(strip.left() + 5.5 + col * 11 + (row % 2) * 5.5, row * 7.5 + 3);
                if (c.x() > strip.right() - 2)
                    continue;
                QPainterPath lz;
                lz.moveTo(c + QPointF(0, -2.6));
                lz.lineTo(c + QPointF(2.6, 0));
                lz.lineTo(c + QPointF(0, 2.6));
                lz.lineTo(c + QPointF(-2.6, 0));
                lz.closeSubpath();
                p.setBrush(QColor(214, 170, 86, 170));
                p.drawPath(lz);
            }
        }
        QLinearGradient shade(strip.left(), 0, strip.right(), 0);
        shade.setColorAt(0, QColor(0, 0, 0, 70));
        shade.setColorAt(0.3, QColor(0, 0, 0, 0));
        shade.setColorAt(1, QColor(0, 0, 0, 40));
        p.fillRect(strip, shade);
        p.setPen(QPen(QColor(200, 160, 80), 1.0));
        p.drawLine(QPointF(strip.right() + 0.5, 0), QPointF(strip.right() + 0.5, kTitleH));
    }
    // The wooden roller.
    {
        const QRectF rod(0, 0, 22, kTitleH);
        QLinearGradient wood(rod.left(), 0, rod.right(), 0);
        wood.setColorAt(0.0, QColor(60, 34, 18));
        wood.setColorAt(0.35, QColor(150, 96, 52));
        wood.setColorAt(0.5, QColor(178, 122, 70));
        wood.setColorAt(1.0, QColor(70, 40, 20));
        p.fillRect(rod, wood);
        Rng rng(117);
        for (int i = 0; i < 10; ++i) {
            const double x = rng.range(2, 20);
            p.setPen(QPen(QColor(60, 30, 12, 60), 0.6));
            QPainterPath grain(QPointF(x, 0));
            grain.cubicTo(QPointF(x + rng.range(-2, 2), 40), QPointF(x + rng.range(-2, 2), 70), QPointF(x, kTitleH));
            p.setBrush(Qt::NoBrush);
            p.drawPath(grain);
        }
    }
    p.end();
    seal(img, QRectF(800, 62, 20, 20), QColor(176, 40, 30, 190), 119);
    fadeRightEdge(img, panel, 780);
    return img;
}

// ---------------------------------------------------------------------------
// Built-in pictures.

QString cjkFamily(bool serif)
{
    const QStringList families = QFontDatabase::families();
    const QStringList wanted = serif ? QStringList{"Noto Serif CJK SC", "Noto Sans CJK SC"}
                                     : QStringList{"Noto Sans CJK SC", "Noto Serif CJK SC"};
    for (const QString& f : wanted)
        if (families.contains(f))
            return f;
    return QString();
}

// Navigation button, 40 x 70: an ivory bamboo slip bound with red cord; its caption
// (15-point black text, one character a line) sits over the middle.
QImage drawButton()
{
    QImage img = newImage(40, 70);
    QPainter p(&img);
    setupPainter(p);
    const QRectF slip(1.5, 1.5, 37, 67);
    QPainterPath shape;
    shape.addRoundedRect(slip, 6, 6);
    // Drop shadow.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(slip.translated(0.8, 1.0), 6, 6);
    QLinearGradient body(slip.left(), 0, slip.right(), 0);
    body.setColorAt(0.0, QColor(200, 178, 124));
    body.setColorAt(0.18, QColor(240, 228, 194));
    body.setColorAt(0.45, QColor(252, 248, 232));
    body.setColorAt(0.8, QColor(236, 222, 184));
    body.setColorAt(1.0, QColor(188, 164, 110));
    p.setBrush(body);
    p.drawPath(shape);
    // Fine vertical grain.
    p.save();
    p.setClipPath(shape);
    Rng rng(131);
    for (int i = 0; i < 9; ++i) {
        const double x = rng.range(4, 36);
        p.setPen(QPen(QColor(150, 120, 70, 28), 0.6));
        p.drawLine(QPointF(x, 2), QPointF(x + rng.range(-0.6, 0.6), 68));
    }
    // A soft highlight down the left third, as on a rounded slip.
    QLinearGradient hi(slip.left(), 0, slip.left() + 14, 0);
    hi.setColorAt(0, QColor(255, 255, 255, 0));
    hi.setColorAt(0.6, QColor(255, 255, 255, 70));
    hi.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(slip.left(), slip.top(), 14, slip.height()), hi);
    p.restore();
    // Binding cords at the top and bottom.
    for (double y : {4.5, 65.5}) {
        p.setPen(QPen(QColor(150, 36, 30), 1.6, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(1.5, y), QPointF(38.5, y));
        p.setPen(QPen(QColor(230, 120, 100, 140), 0.5, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(1.5, y - 0.5), QPointF(38.5, y - 0.5));
    }
    p.setPen(QPen(QColor(120, 92, 50, 200), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    return img;
}

// Splash, 334 x 143, shown while a book is opened: an unrolled scroll over a teal
// ground, with the loading message brushed on it.
QImage drawSplash()
{
    const int w = 334;
    const int h = 143;
    QImage img = newImage(w, h);
    {
        QPainter p(&img);
        setupPainter(p);
        QLinearGradient ground(0, 0, 0, h);
        ground.setColorAt(0, QColor(14, 92, 108));
        ground.setColorAt(1, QColor(6, 58, 70));
        p.fillRect(img.rect(), ground);
        // Faint clouds on the ground.
        const QColor faint(120, 200, 210, 60);
        const QColor faintWash(120, 200, 210, 16);
        ruyiCloud(p, QPointF(12, 112), 5, false, faint, faintWash, 1.0);
        ruyiCloud(p, QPointF(322, 30), 5, true, faint, faintWash, 1.0);
        p.setPen(QPen(QColor(120, 200, 210, 70), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(3.5, 3.5, w - 7, h - 7));
    }
    // The paper.
    const QRect paperRect(42, 20, 250, 103);
    {
        QImage paper = newImage(paperRect.width(), paperRect.height());
        paintPaper(paper, {QColor(246, 240, 224), QColor(222, 208, 178), QColor(253, 250, 240), 0.4, 0.2, 40.0, 141});
        inkMountains(paper, {{30, 26, 30}, {80, 18, 30}, {200, 22, 34}, {236, 30, 24}}, -5, 260, 103, 18,
                     QColor(110, 116, 118), 100, 0.6, 143, 1);
        QPainter p(&img);
        p.drawImage(paperRect.topLeft(), paper);
        // Shadow under the paper.
        setupPainter(p);
        p.setPen(QPen(QColor(0, 0, 0, 60), 1.0));
        p.drawLine(QPointF(paperRect.left(), paperRect.bottom() + 1.5),
                   QPointF(paperRect.right(), paperRect.bottom() + 1.5));
    }
    QPainter p(&img);
    setupPainter(p);
    // Rollers with knobs at both ends.
    for (double x : {30.0, 292.0}) {
        const QRectF rod(x, 12, 12, 119);
        QLinearGradient wood(rod.left(), 0, rod.right(), 0);
        wood.setColorAt(0.0, QColor(64, 36, 18));
        wood.setColorAt(0.4, QColor(160, 104, 58));
        wood.setColorAt(0.55, QColor(186, 130, 76));
        wood.setColorAt(1.0, QColor(72, 42, 22));
        p.setPen(Qt::NoPen);
        p.setBrush(wood);
        p.drawRoundedRect(rod, 3, 3);
        for (double ky : {6.0, 131.0}) {
            QRadialGradient knob(QPointF(x + 4.5, ky + 1.5), 7);
            knob.setColorAt(0, QColor(236, 206, 128));
            knob.setColorAt(1, QColor(140, 100, 40));
            p.setBrush(knob);
            p.drawRoundedRect(QRectF(x + 1, ky, 10, 7), 3, 3);
        }
    }
    // The message.
    const QString family = cjkFamily(true);
    QFont big(family);
    big.setPixelSize(22);
    big.setWeight(QFont::Bold);
    big.setStyleStrategy(QFont::PreferAntialias);
    const QString message = QString::fromUtf8("正在打开电子书");
    p.setFont(big);
    QFontMetricsF fm(big);
    const double tw = fm.horizontalAdvance(message);
    const QPointF at(167 - tw / 2, 64);
    p.setPen(QColor(120, 110, 100, 50));
    p.drawText(at + QPointF(1.0, 1.0), message);
    p.setPen(QColor(30, 30, 32));
    p.drawText(at, message);
    QFont small(family);
    small.setPixelSize(13);
    small.setStyleStrategy(QFont::PreferAntialias);
    p.setFont(small);
    const QString wait = QString::fromUtf8("请稍候");
    QFontMetricsF fs(small);
    const double sw = fs.horizontalAdvance(wait);
    p.setPen(QColor(90, 86, 80));
    p.drawText(QPointF(167 - sw / 2 - 10, 88), wait);
    // Three ink dots after it, fading.
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 42, 220 - i * 60));
        p.drawEllipse(QPointF(167 + sw / 2 - 4 + i * 6, 84), 1.6, 1.6);
    }
    p.end();
    seal(img, QRectF(262, 94, 16, 16), QColor(180, 36, 30, 210), 147);
    return img;
}

// Cover, 369 x 345: a thread-bound book in indigo cloth, bound on the right, with a
// pale title slip across it and a small landscape set into the lower half. The
// cover window writes the book's name centred across the picture from 73 px down
// (30-point type), so the slip is centred on the picture, not on the cloth.
QImage drawCover()
{
    const int w = 369;
    const int h = 345;
    QImage img = newImage(w, h);
    paintPaper(img, {QColor(34, 70, 100), QColor(20, 44, 66), QColor(58, 96, 128), 0.35, 0.35, 50.0, 151});
    // Cloth weave: faint crossing threads.
    for (int y = 0; y < h; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double weave = ((x % 3 == 0) ? 0.05 : 0.0) + ((y % 3 == 0) ? 0.05 : 0.0);
            row[x] = mix(QColor::fromRgba(row[x]), QColor(10, 24, 40), weave).rgba();
        }
    }
    {
        // A faint key-fret border just inside the edge.
        QPainter p(&img);
        setupPainter(p);
        p.setPen(QPen(QColor(150, 180, 200, 70), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(9.5, 9.5, 334, h - 19));
        p.drawRect(QRectF(13.5, 13.5, 326, h - 27));
    }
    // Title slip.
    const QRect slip(30, 60, 309, 76);
    {
        QImage paper = newImage(slip.width(), slip.height());
        paintPaper(paper, {QColor(244, 236, 214), QColor(220, 204, 168), QColor(252, 248, 236), 0.4, 0.2, 40.0, 153});
        QPainter p(&img);
        setupPainter(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawRect(QRectF(slip).translated(1.5, 2));
        p.drawImage(slip.topLeft(), paper);
        p.setPen(QPen(QColor(150, 120, 80), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(slip).adjusted(3.5, 3.5, -3.5, -3.5));
    }
    // Landscape inset.
    const QRect inset(55, 168, 260, 150);
    {
        QImage pic = newImage(inset.width(), inset.height());
        paintPaper(pic, {QColor(240, 234, 216), QColor(214, 200, 168), QColor(250, 246, 234), 0.4, 0.2, 40.0, 157});
        {
            QPainter p(&pic);
            setupPainter(p);
            QRadialGradient sun(QPointF(196, 38), 14);
            sun.setColorAt(0, QColor(214, 70, 50, 220));
            sun.setColorAt(0.8, QColor(214, 70, 50, 200));
            sun.setColorAt(1, QColor(214, 70, 50, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(sun);
            p.drawEllipse(QPointF(196, 38), 14, 14);
        }
        inkMountains(pic, {{40, 70, 40}, {110, 96, 34}, {170, 60, 36}, {240, 80, 36}}, -5, 270, 120, 40,
                     QColor(120, 124, 126), 120, 0.7, 159, 1);
        inkMountains(pic, {{20, 50, 34}, {90, 40, 30}, {210, 46, 30}}, -5, 270, 150, 30, QColor(40, 42, 44), 200, 0.8,
                     161, 1);
        QPainter p(&img);
        setupPainter(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawRect(QRectF(inset).translated(1.5, 2));
        p.drawImage(inset.topLeft(), pic);
        p.setPen(QPen(QColor(200, 170, 100), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(inset).adjusted(0.75, 0.75, -0.75, -0.75));
    }
    QPainter p(&img);
    setupPainter(p);
    // Binding on the right: a strip, four stitch holes and the thread wrapping the spine.
    {
        const double spine = 348;
        QLinearGradient shade(spine - 6, 0, w, 0);
        shade.setColorAt(0, QColor(0, 0, 0, 0));
        shade.setColorAt(0.3, QColor(0, 0, 0, 50));
        shade.setColorAt(1, QColor(0, 0, 0, 20));
        p.fillRect(QRectF(spine - 6, 0, w - spine + 6, h), shade);
        p.setPen(QPen(QColor(10, 24, 40, 150), 1.0));
        p.drawLine(QPointF(spine - 0.5, 0), QPointF(spine - 0.5, h));
        const double holes[] = {30, 124, 221, 315};
        const QColor thread(232, 226, 210);
        for (double y : holes) {
            p.setPen(QPen(thread, 2.0, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(spine + 10, y), QPointF(w + 2, y));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(8, 18, 30));
            p.drawEllipse(QPointF(spine + 10, y), 2.2, 2.2);
        }
        // The thread also runs along the spine between the holes.
        p.setPen(QPen(thread, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(spine + 10, holes[0]), QPointF(spine + 10, holes[3]));
        p.drawLine(QPointF(spine + 10, 0), QPointF(spine + 10, holes[0]));
        p.drawLine(QPointF(spine + 10, holes[3]), QPointF(spine + 10, h));
        // Brocade corner guards at the top and bottom of the spine.
        for (double y : {0.0, double(h - 14)}) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(130, 38, 32));
            p.drawRect(QRectF(spine, y, w - spine, 14));
            p.setBrush(QColor(214, 170, 86, 160));
            for (double x = spine + 4; x < w; x += 7)
                p.drawEllipse(QPointF(x, y + 7), 1.4, 1.4);
        }
    }
    p.end();
    seal(img, QRectF(281, 286, 22, 22), QColor(186, 40, 32, 220), 163);
    return img;
}

// Window icon: an open book with a red ribbon. Drawn on a 32-unit grid and scaled,
// so the 32-pixel and the large icon are the same drawing.
QImage drawIcon(int size)
{
    QImage img = newImage(size, size);
    QPainter p(&img);
    setupPainter(p);
    p.scale(size / 32.0, size / 32.0);
    // Cover, seen behind the pages.
    QPainterPath cover;
    cover.moveTo(1.5, 8.5);
    cover.lineTo(16, 11);
    cover.lineTo(30.5, 8.5);
    cover.lineTo(30.5, 27.5);
    cover.lineTo(16, 30);
    cover.lineTo(1.5, 27.5);
    cover.closeSubpath();
    QLinearGradient cg(0, 8, 0, 30);
    cg.setColorAt(0, QColor(22, 110, 130));
    cg.setColorAt(1, QColor(8, 66, 80));
    p.setPen(QPen(QColor(4, 44, 54), 0.8));
    p.setBrush(cg);
    p.drawPath(cover);
    // Two pages, curving down to the spine.
    for (int side = 0; side < 2; ++side) {
        const double s = side == 0 ? -1.0 : 1.0;
        QPainterPath page;
        page.moveTo(16, 9);
        page.cubicTo(16 + s * 4, 5, 16 + s * 9, 4.5, 16 + s * 13.5, 5.5);
        page.lineTo(16 + s * 13.5, 25.5);
        page.cubicTo(16 + s * 9, 24.5, 16 + s * 4, 25, 16, 28);
        page.closeSubpath();
        QLinearGradient pg(16, 0, 16 + s * 13.5, 0);
        pg.setColorAt(0, QColor(214, 204, 176));
        pg.setColorAt(0.25, QColor(250, 246, 232));
        pg.setColorAt(1, QColor(240, 232, 208));
        p.setPen(QPen(QColor(120, 100, 70), 0.6));
        p.setBrush(pg);
        p.drawPath(page);
        // Columns of text, as short ink strokes.
        p.setPen(QPen(QColor(70, 70, 76, 170), 0.75, Qt::SolidLine, Qt::RoundCap));
        for (int c = 0; c < 3; ++c) {
            const double x = 16 + s * (5.5 + c * 3.0);
            const double top = 8.5 - c * 0.4;
            p.drawLine(QPointF(x, top + 0.5), QPointF(x, 22.5 - c * 0.2));
        }
    }
    // Ribbon hanging from the spine.
    QPainterPath ribbon;
    ribbon.moveTo(15.2, 9);
    ribbon.lineTo(17.4, 9);
    ribbon.lineTo(17.8, 31.5);
    ribbon.lineTo(16.5, 30.2);
    ribbon.lineTo(15.0, 31.5);
    ribbon.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 30, 36));
    p.drawPath(ribbon);
    return img;
}

bool save(const QImage& img, const QString& path, int quality = -1)
{
    QImage out = img;
    if (path.endsWith(".jpg"))
        out = img.convertToFormat(QImage::Format_RGB32);
    if (!out.save(path, nullptr, quality)) {
        std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s  %d x %d\n", qPrintable(path), out.width(), out.height());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    // Only painting is needed; no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make_pictures DATA_DIR RESOURCES_DIR\n");
        return 2;
    }
    const QDir data(args.at(1));
    const QDir res(args.at(2));
    if (!QDir().mkpath(data.filePath("SImage")) || !QDir().mkpath(res.path())) {
        std::fprintf(stderr, "make_pictures: cannot create the output folders\n");
        return 1;
    }
    if (cjkFamily(true).isEmpty())
        std::fprintf(stderr, "make_pictures: warning: no Noto CJK font found; the splash text may not show\n");

    constexpr int kJpegQuality = 92;
    bool ok = true;
    const QImage blossomTitle = drawTitleBlossom();
    ok &= save(blossomTitle, data.filePath("SImage/2.jpg"), kJpegQuality);
    ok &= save(drawTitleInk(), data.filePath("SImage/ink.jpg"), kJpegQuality);
    ok &= save(drawTitleNight(), data.filePath("SImage/night.jpg"), kJpegQuality);
    ok &= save(drawTitleBamboo(), data.filePath("SImage/bamboo.jpg"), kJpegQuality);
    ok &= save(drawTitleScroll(), data.filePath("SImage/scroll.jpg"), kJpegQuality);

    ok &= save(blossomTitle, res.filePath("title.png"));
    ok &= save(drawButton(), res.filePath("button.png"));
    ok &= save(drawSplash(), res.filePath("splash.png"));
    ok &= save(drawCover(), res.filePath("cover.png"));
    ok &= save(drawIcon(32), res.filePath("icon.png"));
    // The sizes the desktop's icon theme asks for (the 256-pixel one too).
    for (const int size : {48, 128, 256})
        ok &= save(drawIcon(size), res.filePath(QStringLiteral("icon%1.png").arg(size)));
    return ok ? 0 : 1;
}
