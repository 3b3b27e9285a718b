#include "reports/engine.h"
#include "data/formatsettings.h"
#include "reports/connection.h"
#include "reports/reporterror.h"
#include "controls/dialogs.h"
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QImage>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextLayout>
#include <deque>
#include <optional>

namespace reports {

namespace {

constexpr int kBlockRows = 256; // rows fetched from the connection at a time
// Page starts kept to draw any page again; past that, every other one is dropped, so the
// pages between two kept starts are laid out again (without drawing) to reach a page.
constexpr size_t kMaxMarks = 512;
constexpr int kProgressMs = 100; // "Report Status" is brought up to date this often

enum class BandKind { GroupHeader, Detail, GroupFooter, Total, Empty };

struct Band {
    BandKind kind = BandKind::Detail;
    QVector<QVariant> values; // detail: the row's values, in the order of the columns
    QString value;            // group value
    qint64 count = 0;         // group footer / total: the count; detail: the row's number
};

// Where the band stream stands: small, so one is kept per page to draw any page again.
struct StreamState {
    data::RowKey lastKey; // the last row taken from the connection
    bool rowsDone = false;
    bool started = false;
    bool endQueued = false;
    QString groupValue;
    qint64 groupCount = 0;
    qint64 total = 0;
    std::deque<Band> queue; // bands of the row taken last, not yet placed
};

// Where a stream of bands stands, with the rows it has read ahead.
struct Cursor {
    StreamState st;
    std::deque<data::Row> buffer;
    void reset(const StreamState& s) {
        st = s;
        buffer.clear();
    }
};

QString placeholders(QString text, const QHash<QString, QString>& values) {
    for (auto it = values.begin(); it != values.end(); ++it)
        text.replace(u'{' + it.key() + u'}', it.value());
    return text;
}

QString textOf(const QVariant& v) { return v.isNull() ? QString() : v.toString(); }

} // namespace

class ReportRun : public ReportDocument {
public:
    ReportRun(const ReportLayout& layout, DataConnection& connection) : layout_(layout), conn_(connection) {
        const auto& fields = conn_.fields();
        auto indexOf = [&](const QString& name) {
            for (int i = 0; i < fields.size(); ++i)
                if (fields[i]->FieldName().compare(name, Qt::CaseInsensitive) == 0) return i;
            throw ReportError(
                QStringLiteral("The reporting project \"%1\" names the field \"%2\", which the data "
                               "connection \"%3\" does not have")
                    .arg(layout_.fileName, name, conn_.name()));
        };
        for (const ReportColumn& c : layout_.columns)
            columnIndex_ << indexOf(c.field);
        if (!layout_.groupField.isEmpty()) groupIndex_ = indexOf(layout_.groupField);

        QPageSize size(layout_.pageSize);
        QSizeF pts = size.size(QPageSize::Point);
        if (layout_.orientation == QPageLayout::Landscape) pts.transpose();
        page_ = pts;
        const double m = layout_.marginMm * 72.0 / 25.4;
        content_ = QRectF(m, m, pts.width() - 2 * m, pts.height() - 2 * m);
        line_ = layout_.fontSize * 1.55;
        titleH_ = 14 * 1.5;
        headerH_ = layout_.fontSize * 1.4;
        block_ = layout_.style == ReportLayout::Style::Block;
        headingsH_ = block_ ? 0 : line_ * 1.4;
        footerH_ = layout_.fontSize * 2.2;
        bodyTop_ = content_.top() + headerH_ + titleH_ + 6 + headingsH_;
        bodyBottom_ = content_.bottom() - footerH_;
        double units = 0;
        for (const ReportColumn& c : layout_.columns)
            units += c.width;
        double x = content_.left();
        if (block_) {
            // Cells run left to right over lines of 100 units; a cell that does not fit on
            // the line begins the next one.
            double used = 0;
            int cellLine = 0;
            for (const ReportColumn& c : layout_.columns) {
                if (used > 0 && used + c.width > 100.0001) {
                    ++cellLine;
                    used = 0;
                }
                columnX_ << QRectF(content_.left() + content_.width() * used / 100, 0,
                                   content_.width() * c.width / 100, 1);
                cellLine_ << cellLine;
                used += c.width;
            }
            blockLines_ = cellLine + 1;
        } else {
            for (const ReportColumn& c : layout_.columns) {
                const double w = content_.width() * c.width / units;
                columnX_ << QRectF(x, 0, w, 1);
                x += w;
            }
        }
        const QDateTime now =
            data::formatSettings().now ? data::formatSettings().now() : QDateTime::currentDateTime();
        printDate_ = now.date().toString(data::formatSettings().shortDateFormat.isEmpty()
                                             ? QStringLiteral("M/d/yyyy")
                                             : data::formatSettings().shortDateFormat);
        printTime_ = now.time().toString(data::formatSettings().longTimeFormat.isEmpty()
                                             ? QStringLiteral("h:mm:ss AP")
                                             : data::formatSettings().longTimeFormat);
    }

    QString title() const override { return layout_.title; }
    int pageCount() const override { return pages_; }
    bool pagesCounted() const override { return counted_; }
    QSizeF pageSizePoints() const override { return page_; }
    qint64 rowCount() const { return counted_ ? rows_ : frontier_.st.total; }

    // The counting pass: lays pages out without drawing and keeps where some of them start.
    void countPages(int pages) override {
        for (int i = 0; i < pages && !counted_; ++i) {
            if (pages_ % stride_ == 0) {
                marks_.push_back(frontier_.st);
                if (marks_.size() > kMaxMarks) {
                    // keeps the starts of pages 0, 2*stride, 4*stride, ...
                    size_t kept = 0;
                    for (size_t m = 0; m < marks_.size(); m += 2)
                        marks_[kept++] = std::move(marks_[m]);
                    marks_.resize(kept);
                    stride_ *= 2;
                }
            }
            const bool more = fillPage(frontier_, nullptr, pages_);
            ++pages_;
            if (!more) {
                counted_ = true;
                rows_ = frontier_.st.total;
                frontier_.reset(StreamState{});
            }
        }
    }

    // Counts every page under "Report Status"; false when cancelled there.
    bool countAll(StatusWindow* status) {
        bool first = true;
        while (!counted_) {
            countPages(1);
            if (!report(status, QStringLiteral("Counting pages"), pages_, rowCount(), first || counted_))
                return false;
            first = false;
        }
        return true;
    }

    void drawPage(int page, QPainter& painter) override {
        if (page < 0 || page >= pages_) return;
        // Pages shown one after the other go on from where the last one ended.
        if (drawNext_ != page) position(drawCursor_, page, drawNext_);
        painter.save();
        setupPainter(painter);
        fillPage(drawCursor_, &painter, page);
        painter.restore();
        drawNext_ = page + 1;
    }

    bool print(const OutputOptions& options) override {
        std::unique_ptr<StatusWindow> status = reportWindows().status(layout_.title);
        return write(options, status.get());
    }

    bool write(const OutputOptions& options, StatusWindow* status) {
        if (!countAll(status)) return false;
        const int first = options.fromPage > 0 ? qMin(options.fromPage, pageCount()) - 1 : 0;
        const int last = options.toPage > 0 ? qMin(options.toPage, pageCount()) - 1 : pageCount() - 1;
        QPageLayout pageLayout(QPageSize(layout_.pageSize), layout_.orientation, QMarginsF(0, 0, 0, 0));
        std::unique_ptr<QPdfWriter> pdf;
        QPrinter* printer = nullptr;
        QPagedPaintDevice* device = nullptr;
        if (options.destination == Destination::File) {
            pdf = std::make_unique<QPdfWriter>(options.fileName);
            pdf->setResolution(300);
            pdf->setTitle(layout_.title);
            pdf->setCreator(QStringLiteral("The Quorvale"));
            pdf->setPageLayout(pageLayout);
            device = pdf.get();
        } else {
            printer = &reportPrinter();
            printer->setFullPage(true);
            printer->setPageLayout(pageLayout);
            printer->setCopyCount(qMax(1, options.copies));
            printer->setDocName(layout_.title);
            device = printer;
        }
        QPainter painter;
        if (!painter.begin(device))
            throw ReportError(
                options.destination == Destination::File
                    ? QStringLiteral("The file \"%1\" cannot be written").arg(options.fileName)
                    : QStringLiteral("The printer \"%1\" cannot be opened").arg(printer->printerName()));
        const int copies = pdf ? qMax(1, options.copies) : 1;
        bool cancelled = false;
        bool firstPage = true;
        Cursor cursor;
        for (int c = 0; c < copies && !cancelled; ++c) {
            int at = -1;
            position(cursor, first, at);
            for (int p = first; p <= last; ++p) {
                if (!firstPage) device->newPage();
                painter.save();
                setupPainter(painter);
                fillPage(cursor, &painter, p);
                painter.restore();
                if (!report(status, QStringLiteral("Printing"), p - first + 1, cursor.st.total, firstPage)) {
                    cancelled = true;
                    break;
                }
                firstPage = false;
            }
        }
        if (cancelled && printer) printer->abort();
        painter.end();
        if (cancelled && pdf) {
            pdf.reset();
            QFile::remove(options.fileName); // no half-written report is left behind
        }
        return !cancelled;
    }

private:
    // Brings "Report Status" up to date now and then (always when forced); false: cancelled.
    bool report(StatusWindow* status, const QString& phase, int pages, qint64 rows, bool force) {
        if (!status) return true;
        if (!force && progressTimer_.isValid() && progressTimer_.elapsed() < kProgressMs) return true;
        progressTimer_.start();
        return status->progress(phase, pages, rows);
    }

    // Puts the cursor at the start of a counted page, from the nearest kept start before it
    // (or from where the cursor stands, at the start of page at, when that is nearer).
    void position(Cursor& cursor, int page, int& at) {
        const int mark = page / stride_;
        if (at < mark * stride_ || at > page) {
            cursor.reset(marks_[size_t(mark)]);
            at = mark * stride_;
        }
        for (; at < page; ++at)
            fillPage(cursor, nullptr, at);
    }

    void setupPainter(QPainter& painter) {
        QPaintDevice* dev = painter.device();
        painter.scale(dev->width() / page_.width(), dev->height() / page_.height());
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const int dpi = dev->logicalDpiY();
        if (!fonts_ || fonts_->dpi != dpi) fonts_.emplace(*this, dev);
    }

    // The fonts of the bands, sized for one device: the painter is scaled to points, so a
    // font is sized that it comes out at its points after the device's own conversion.
    struct Font {
        QFont font;
        QFontMetricsF metrics;
        Font(double points, double dpi, QPaintDevice* dev, bool bold = false, bool italic = false)
            : font(make(points, dpi, bold, italic)), metrics(font, dev) {}
        static QFont make(double points, double dpi, bool bold, bool italic) {
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setStyleHint(QFont::SansSerif);
            f.setPointSizeF(points * 72.0 / dpi);
            f.setBold(bold);
            f.setItalic(italic);
            return f;
        }
    };
    struct Fonts {
        int dpi;
        Font small, detail, heading, title, group, note;
        Fonts(const ReportRun& r, QPaintDevice* dev)
            : dpi(dev->logicalDpiY()), small(r.layout_.fontSize - 1, dpi, dev),
              detail(r.layout_.fontSize, dpi, dev), heading(r.layout_.fontSize, dpi, dev, true),
              title(14, dpi, dev, true), group(r.layout_.fontSize + 1, dpi, dev, true),
              note(r.layout_.fontSize, dpi, dev, false, true) {}
    };

    // One line of text in a box, vertically centred; a text too long for it ends in "...".
    static void text(QPainter& p, const Font& f, const QRectF& r, const QString& s, Qt::Alignment a) {
        if (s.isEmpty()) return;
        QString shown = s;
        double w = f.metrics.horizontalAdvance(s);
        if (w > r.width()) {
            shown = f.metrics.elidedText(s, Qt::ElideRight, r.width());
            w = f.metrics.horizontalAdvance(shown);
        }
        const double x = a & Qt::AlignRight     ? r.right() - w
                         : a & Qt::AlignHCenter ? r.left() + (r.width() - w) / 2
                                                : r.left();
        const double y = r.top() + (r.height() - f.metrics.height()) / 2 + f.metrics.ascent();
        p.drawText(QPointF(x, y), shown);
    }

    static void use(QPainter& p, const Font& f) {
        if (p.font() != f.font) p.setFont(f.font);
    }

    // Takes rows until a band is queued or the rows end (then the closing bands).
    Band* peek(Cursor& c) {
        StreamState& st = c.st;
        while (st.queue.empty()) {
            if (st.rowsDone) {
                if (st.endQueued) return nullptr;
                st.endQueued = true;
                if (groupIndex_ >= 0 && st.started && !layout_.groupFooter.isEmpty())
                    st.queue.push_back({BandKind::GroupFooter, {}, st.groupValue, st.groupCount});
                if (st.total == 0 && !layout_.emptyText.isEmpty())
                    st.queue.push_back({BandKind::Empty, {}, {}, 0});
                if (!layout_.total.isEmpty()) st.queue.push_back({BandKind::Total, {}, {}, st.total});
                continue;
            }
            if (c.buffer.empty()) {
                QVector<data::Row> rows = conn_.fetch(st.lastKey, kBlockRows);
                for (data::Row& r : rows)
                    c.buffer.push_back(std::move(r));
                if (c.buffer.empty()) {
                    st.rowsDone = true;
                    continue;
                }
            }
            data::Row row = std::move(c.buffer.front());
            c.buffer.pop_front();
            st.lastKey = std::move(row.key);
            if (groupIndex_ >= 0) {
                const QString g = textOf(row.values.value(groupIndex_));
                if (st.started && g != st.groupValue) {
                    if (!layout_.groupFooter.isEmpty())
                        st.queue.push_back({BandKind::GroupFooter, {}, st.groupValue, st.groupCount});
                    st.groupCount = 0;
                }
                if (!st.started || g != st.groupValue) st.queue.push_back({BandKind::GroupHeader, {}, g, 0});
                st.groupValue = g;
            }
            st.started = true;
            Band d{BandKind::Detail, {}, {}, st.total};
            d.values.reserve(columnIndex_.size());
            for (int i : columnIndex_)
                d.values << row.values.value(i);
            st.queue.push_back(std::move(d));
            ++st.groupCount;
            ++st.total;
        }
        return &st.queue.front();
    }

    double heightOf(const Band& b) const {
        switch (b.kind) {
        case BandKind::GroupHeader:
            return line_ * 1.9;
        case BandKind::Detail:
            return block_ ? wrapBlock(b).height : line_;
        case BandKind::GroupFooter:
            return line_ * 1.5;
        case BandKind::Total:
            return line_ * 2.2;
        case BandKind::Empty:
            return line_ * 2;
        }
        return line_;
    }

    // Places bands on one page (drawing them when painter is set); true when bands remain.
    bool fillPage(Cursor& c, QPainter* painter, int page) {
        if (painter) drawFrame(*painter, page);
        double y = bodyTop_;
        bool placed = false;
        while (Band* b = peek(c)) {
            const double h = heightOf(*b);
            // A group header stays with its first row.
            const double keep = b->kind == BandKind::GroupHeader ? line_ : 0;
            if (placed && y + h + keep > bodyBottom_) return true;
            if (painter) drawBand(*painter, *b, y, h);
            y += h;
            placed = true;
            c.st.queue.pop_front();
        }
        return false;
    }

    void drawFrame(QPainter& p, int page) {
        const Fonts& f = *fonts_;
        const QHash<QString, QString> values = {
            {QStringLiteral("title"), layout_.title},
            {QStringLiteral("date"), printDate_},
            {QStringLiteral("time"), printTime_},
            {QStringLiteral("page"), QString::number(page + 1)},
            {QStringLiteral("pages"), counted_ ? QString::number(pageCount()) : QStringLiteral("...")},
        };
        const QColor ink(0x20, 0x20, 0x20);
        const QColor accent(0x1f, 0x3a, 0x5f);
        p.setPen(ink);
        // Page header: a small line of texts, then the title.
        double y = content_.top();
        use(p, f.small);
        const QRectF hr(content_.left(), y, content_.width(), headerH_);
        text(p, f.small, hr, placeholders(layout_.headerLeft, values), Qt::AlignLeft);
        text(p, f.small, hr, placeholders(layout_.headerCenter, values), Qt::AlignHCenter);
        text(p, f.small, hr, placeholders(layout_.headerRight, values), Qt::AlignRight);
        y += headerH_;
        use(p, f.title);
        p.setPen(accent);
        text(p, f.title, QRectF(content_.left(), y, content_.width(), titleH_), layout_.title, Qt::AlignLeft);
        y += titleH_;
        p.setPen(QPen(accent, 1.2));
        p.drawLine(QPointF(content_.left(), y + 2), QPointF(content_.right(), y + 2));
        y += 6;
        // Column headings on a shaded bar; blocks label their own cells.
        if (!block_)
            p.fillRect(QRectF(content_.left(), y, content_.width(), headingsH_), QColor(0xdc, 0xe3, 0xec));
        p.setPen(accent);
        use(p, f.heading);
        for (int i = 0; i < layout_.columns.size() && !block_; ++i) {
            const QRectF r(columnX_[i].left() + 2, y, columnX_[i].width() - 4, headingsH_);
            text(p, f.heading, r, layout_.columns[i].heading, layout_.columns[i].align);
        }
        // Page footer.
        const double fy = content_.bottom() - footerH_;
        p.setPen(QPen(QColor(0x90, 0x90, 0x90), 0.6));
        p.drawLine(QPointF(content_.left(), fy + 4), QPointF(content_.right(), fy + 4));
        p.setPen(ink);
        use(p, f.small);
        const QRectF fr(content_.left(), fy + 6, content_.width(), footerH_ - 6);
        text(p, f.small, fr, placeholders(layout_.footerLeft, values), Qt::AlignLeft);
        text(p, f.small, fr, placeholders(layout_.footerCenter, values), Qt::AlignHCenter);
        text(p, f.small, fr, placeholders(layout_.footerRight, values), Qt::AlignRight);
    }

    QString bandText(const QString& text, const Band& b) const {
        QString s = text;
        s.replace(QLatin1String("{value}"), b.value.isEmpty() ? QStringLiteral("(none)") : b.value);
        s.replace(QLatin1String("{count}"), QString::number(b.count));
        return s;
    }

    void drawBand(QPainter& p, const Band& b, double y, double h) {
        const Fonts& f = *fonts_;
        const QColor ink(0x20, 0x20, 0x20);
        const QColor accent(0x1f, 0x3a, 0x5f);
        switch (b.kind) {
        case BandKind::Detail: {
            if (block_) {
                drawBlock(p, b, y, h);
                break;
            }
            if (b.count % 2 == 1)
                p.fillRect(QRectF(content_.left(), y, content_.width(), h), QColor(0xf3, 0xf5, 0xf8));
            p.setPen(ink);
            use(p, f.detail);
            for (int i = 0; i < b.values.size(); ++i) {
                const QRectF r(columnX_[i].left() + 2, y, columnX_[i].width() - 4, h);
                text(p, f.detail, r, textOf(b.values[i]), layout_.columns[i].align);
            }
            break;
        }
        case BandKind::GroupHeader: {
            p.setPen(accent);
            use(p, f.group);
            const QRectF r(content_.left(), y + h - line_ * 1.3, content_.width(), line_ * 1.2);
            text(p, f.group, r,
                 bandText(layout_.groupHeader.isEmpty() ? QStringLiteral("{value}") : layout_.groupHeader, b),
                 Qt::AlignLeft);
            p.setPen(QPen(accent, 0.6));
            p.drawLine(QPointF(content_.left(), y + h - 0.5), QPointF(content_.right(), y + h - 0.5));
            break;
        }
        case BandKind::GroupFooter: {
            p.setPen(ink);
            use(p, f.note);
            text(p, f.note, QRectF(content_.left(), y, content_.width(), line_ * 1.1),
                 bandText(layout_.groupFooter, b), Qt::AlignRight);
            break;
        }
        case BandKind::Total: {
            p.setPen(QPen(accent, 1));
            p.drawLine(QPointF(content_.left(), y + 3), QPointF(content_.right(), y + 3));
            p.setPen(accent);
            use(p, f.group);
            text(p, f.group, QRectF(content_.left(), y + 4, content_.width(), h - 4),
                 bandText(layout_.total, b), Qt::AlignRight);
            break;
        }
        case BandKind::Empty: {
            p.setPen(ink);
            use(p, f.note);
            text(p, f.note, QRectF(content_.left(), y, content_.width(), h), layout_.emptyText,
                 Qt::AlignHCenter);
            break;
        }
        }
    }

    // Texts are measured on one fine device of its own, so that the counting pass and every
    // drawing break the lines alike whatever the output's resolution.
    static constexpr double kMeasureDpi = 1200;
    static constexpr double kPerPoint = kMeasureDpi / 72;
    static QPaintDevice* measuringDevice() {
        static QImage image = [] {
            QImage i(1, 1, QImage::Format_RGB32);
            i.setDotsPerMeterX(qRound(kMeasureDpi / 0.0254));
            i.setDotsPerMeterY(qRound(kMeasureDpi / 0.0254));
            return i;
        }();
        return &image;
    }
    QFont measuringFont(bool bold) const {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setStyleHint(QFont::SansSerif);
        f.setPointSizeF(layout_.fontSize);
        f.setBold(bold);
        return f;
    }
    double labelWidth(int cell) const {
        const QString& heading = layout_.columns[cell].heading;
        if (heading.isEmpty()) return 0;
        return QFontMetricsF(measuringFont(true), measuringDevice()).horizontalAdvance(heading + u':') /
                   kPerPoint +
               layout_.fontSize * 0.6;
    }

    // The lines of a text wrapped at word boundaries within width points.
    QStringList wrap(const QString& text, double width) const {
        QStringList lines;
        const QFont f = measuringFont(false);
        for (const QString& paragraph : text.split(u'\n')) {
            QString para = paragraph;
            para.remove(u'\r');
            if (para.isEmpty()) {
                lines << QString();
                continue;
            }
            QTextLayout tl(para, f, measuringDevice());
            QTextOption opt;
            opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            tl.setTextOption(opt);
            tl.beginLayout();
            for (QTextLine l = tl.createLine(); l.isValid(); l = tl.createLine()) {
                // A little room spare for the output's own rounding of the glyphs.
                l.setLineWidth(qMax(1.0, width * 0.97 * kPerPoint));
                lines << para.mid(l.textStart(), l.textLength()).trimmed();
            }
            tl.endLayout();
        }
        while (lines.size() > 1 && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    struct BlockText {
        QVector<QStringList> cellLines; // each cell's value, wrapped
        double height = 0;
    };
    // Wraps each cell's value of a row; a block never grows past one page: a cell too long
    // for it ends in "…". Worked out afresh wherever needed, so no pass keeps it.
    BlockText wrapBlock(const Band& b) const {
        BlockText d;
        const int cells = int(columnX_.size());
        QVector<int> lineHeight(blockLines_, 1);
        d.cellLines.resize(cells);
        for (int i = 0; i < cells; ++i) {
            const double w = columnX_[i].width() - 6 - labelWidth(i);
            d.cellLines[i] = wrap(textOf(b.values.value(i)), w);
        }
        const int maxLines = qMax(1, int((bodyBottom_ - bodyTop_ - line_) / line_) - blockLines_);
        int total = 0;
        for (int i = 0; i < cells; ++i) {
            QStringList& lines = d.cellLines[i];
            if (lines.size() > maxLines) {
                lines = lines.mid(0, maxLines);
                lines.last() += QStringLiteral(" \u2026");
            }
            lineHeight[cellLine_[i]] = qMax(lineHeight[cellLine_[i]], int(lines.size()));
        }
        for (int n : lineHeight)
            total += n;
        if (total > maxLines + blockLines_) {
            // Lines of several cells together still too many: cut the tallest cells further.
            for (int i = cells - 1; i >= 0 && total > maxLines + blockLines_; --i) {
                QStringList& lines = d.cellLines[i];
                const int over = total - (maxLines + blockLines_);
                const int keep = qMax(1, int(lines.size()) - over);
                if (keep < lines.size()) {
                    lines = lines.mid(0, keep);
                    lines.last() += QStringLiteral(" \u2026");
                }
                lineHeight.fill(1);
                for (int j = 0; j < cells; ++j)
                    lineHeight[cellLine_[j]] = qMax(lineHeight[cellLine_[j]], int(d.cellLines[j].size()));
                total = 0;
                for (int n : lineHeight)
                    total += n;
            }
        }
        d.height = total * line_ + line_ * 0.8;
        return d;
    }

    void drawBlock(QPainter& p, const Band& band, double y, double h) {
        const BlockText b = wrapBlock(band);
        const QColor ink(0x20, 0x20, 0x20);
        const QColor accent(0x1f, 0x3a, 0x5f);
        QVector<int> lineHeight(blockLines_, 1);
        for (int i = 0; i < b.cellLines.size(); ++i)
            lineHeight[cellLine_[i]] = qMax(lineHeight[cellLine_[i]], int(b.cellLines[i].size()));
        QVector<double> lineTop(blockLines_);
        double top = y + line_ * 0.3;
        for (int l = 0; l < blockLines_; ++l) {
            lineTop[l] = top;
            top += lineHeight[l] * line_;
        }
        // The first line of each block on a shaded bar, a rule under the block.
        p.fillRect(QRectF(content_.left(), lineTop[0], content_.width(), lineHeight[0] * line_),
                   QColor(0xe8, 0xed, 0xf3));
        p.setPen(QPen(QColor(0xa0, 0xa8, 0xb4), 0.6));
        p.drawLine(QPointF(content_.left(), y + h - 0.5), QPointF(content_.right(), y + h - 0.5));
        for (int i = 0; i < b.cellLines.size(); ++i) {
            const double x = columnX_[i].left() + 2;
            const double lw = labelWidth(i);
            const double ty = lineTop[cellLine_[i]];
            if (lw > 0) {
                p.setPen(accent);
                use(p, fonts_->heading);
                text(p, fonts_->heading, QRectF(x, ty, lw, line_), layout_.columns[i].heading + u':',
                     Qt::AlignLeft);
            }
            p.setPen(ink);
            use(p, fonts_->detail);
            const QStringList& lines = b.cellLines[i];
            for (int k = 0; k < lines.size(); ++k)
                text(p, fonts_->detail,
                     QRectF(x + lw, ty + k * line_, columnX_[i].width() - 4 - lw + 2, line_), lines[k],
                     layout_.columns[i].align);
        }
    }

    const ReportLayout& layout_;
    DataConnection& conn_;
    QVector<int> columnIndex_;
    int groupIndex_ = -1;
    QSizeF page_;
    QRectF content_;
    QVector<QRectF> columnX_;
    bool block_ = false;
    QVector<int> cellLine_; // block style: the line of the block each cell stands on
    int blockLines_ = 1;
    double line_ = 12, titleH_ = 20, headerH_ = 12, headingsH_ = 16, footerH_ = 20;
    double bodyTop_ = 0, bodyBottom_ = 0;
    std::optional<Fonts> fonts_;
    QString printDate_, printTime_;
    // The count: pages laid out, the start of every stride-th page, and where it goes on.
    int pages_ = 0;
    bool counted_ = false;
    qint64 rows_ = 0;
    std::vector<StreamState> marks_;
    int stride_ = 1;
    Cursor frontier_;
    // The preview's drawing: the page the cursor stands at the start of.
    Cursor drawCursor_;
    int drawNext_ = -1;
    QElapsedTimer progressTimer_;
};

void executeReport(const ReportLayout& layout) {
    const QList<DataConnection*> found = DataConnection::named(layout.connection);
    if (found.size() != 1) {
        const QString text =
            found.isEmpty()
                ? QStringLiteral("Error!  Could not open data connection \"%1\".  Aborting report.")
                : QStringLiteral(
                      "Error!  Duplicate data connections found with name \"%1\".  Aborting report.");
        controls::prompter().ask(text.arg(layout.connection), controls::MsgDlgType::Error,
                                 controls::MsgButtons::OK);
        return;
    }
    DataConnection& connection = *found.first();
    struct Closer {
        DataConnection& c;
        ~Closer() { c.close(); }
    } closer{connection};
    connection.open();
    // Every field is checked before any window shows, so a faulty project shows nothing.
    ReportRun run(layout, connection);
    static OutputOptions last;
    OutputOptions options = last;
    if (!reportWindows().outputOptions(layout.title, options)) return;
    last = options;
    std::unique_ptr<StatusWindow> status = reportWindows().status(layout.title);
    if (options.destination == Destination::Preview) {
        // The preview opens on the first page and counts the others while it shows.
        run.countPages(1);
        if (!status->progress(QStringLiteral("Counting pages"), run.pageCount(), run.rowCount())) return;
        status.reset();
        reportWindows().preview(run);
        return;
    }
    run.write(options, status.get());
}

} // namespace reports
