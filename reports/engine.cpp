#include "reports/engine.h"
#include "data/formatsettings.h"
#include "reports/connection.h"
#include "reports/reporterror.h"
#include "controls/dialogs.h"
#include <QDateTime>
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
    int pageCount() const override { return int(starts_.size()); }
    QSizeF pageSizePoints() const override { return page_; }
    qint64 rowCount() const { return rows_; }

    // The counting pass: lays every page out without drawing and keeps where each starts.
    bool countPages(StatusWindow* status) {
        starts_.clear();
        StreamState st;
        buffer_.clear();
        while (true) {
            starts_.push_back(st);
            const bool more = fillPage(st, nullptr, 0);
            if (status && !status->progress(QStringLiteral("Counting pages"), int(starts_.size()), st.total))
                return false;
            if (!more) break;
        }
        rows_ = st.total;
        return true;
    }

    void drawPage(int page, QPainter& painter) override {
        if (page < 0 || page >= pageCount()) return;
        StreamState st = starts_[size_t(page)];
        buffer_.clear();
        painter.save();
        setupPainter(painter);
        fillPage(st, &painter, page);
        painter.restore();
    }

    bool print(const OutputOptions& options) override { return write(options, nullptr); }

    bool write(const OutputOptions& options, StatusWindow* status) {
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
        for (int c = 0; c < copies && !cancelled; ++c) {
            StreamState st = starts_.empty() ? StreamState{} : starts_[size_t(first)];
            buffer_.clear();
            for (int p = first; p <= last; ++p) {
                if (!firstPage) device->newPage();
                firstPage = false;
                painter.save();
                setupPainter(painter);
                fillPage(st, &painter, p);
                painter.restore();
                if (status && !status->progress(QStringLiteral("Printing"), p - first + 1, st.total)) {
                    cancelled = true;
                    break;
                }
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
    void setupPainter(QPainter& painter) {
        QPaintDevice* dev = painter.device();
        painter.scale(dev->width() / page_.width(), dev->height() / page_.height());
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        dpi_ = dev->logicalDpiY();
    }

    QFont font(double points, bool bold = false, bool italic = false) const {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setStyleHint(QFont::SansSerif);
        // The painter is scaled to points: the font is sized so that it comes out at
        // points after the device's own conversion.
        f.setPointSizeF(points * 72.0 / dpi_);
        f.setBold(bold);
        f.setItalic(italic);
        return f;
    }

    void text(QPainter& p, const QRectF& r, const QString& s, Qt::Alignment a) {
        const QFontMetricsF fm(p.font(), p.device());
        p.drawText(r, int(a | Qt::AlignVCenter) | Qt::TextSingleLine,
                   fm.elidedText(s, Qt::ElideRight, r.width() - 4));
    }

    // Takes rows until a band is queued or the rows end (then the closing bands).
    Band* peek(StreamState& st) {
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
            if (buffer_.empty()) {
                const QVector<data::Row> rows = conn_.fetch(st.lastKey, kBlockRows);
                for (const data::Row& r : rows)
                    buffer_.push_back(r);
                if (buffer_.empty()) {
                    st.rowsDone = true;
                    continue;
                }
            }
            data::Row row = std::move(buffer_.front());
            buffer_.pop_front();
            st.lastKey = row.key;
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
    bool fillPage(StreamState& st, QPainter* painter, int page) {
        if (painter) drawFrame(*painter, page);
        double y = bodyTop_;
        bool placed = false;
        while (Band* b = peek(st)) {
            const double h = heightOf(*b);
            // A group header stays with its first row.
            const double keep = b->kind == BandKind::GroupHeader ? line_ : 0;
            if (placed && y + h + keep > bodyBottom_) return true;
            if (painter) drawBand(*painter, *b, y, h);
            y += h;
            placed = true;
            st.queue.pop_front();
        }
        return false;
    }

    void drawFrame(QPainter& p, int page) {
        const QHash<QString, QString> values = {
            {QStringLiteral("title"), layout_.title},
            {QStringLiteral("date"), printDate_},
            {QStringLiteral("time"), printTime_},
            {QStringLiteral("page"), QString::number(page + 1)},
            {QStringLiteral("pages"), QString::number(pageCount())},
        };
        const QColor ink(0x20, 0x20, 0x20);
        const QColor accent(0x1f, 0x3a, 0x5f);
        p.setPen(ink);
        // Page header: a small line of texts, then the title.
        double y = content_.top();
        p.setFont(font(layout_.fontSize - 1));
        const QRectF hr(content_.left(), y, content_.width(), headerH_);
        text(p, hr, placeholders(layout_.headerLeft, values), Qt::AlignLeft);
        text(p, hr, placeholders(layout_.headerCenter, values), Qt::AlignHCenter);
        text(p, hr, placeholders(layout_.headerRight, values), Qt::AlignRight);
        y += headerH_;
        p.setFont(font(14, true));
        p.setPen(accent);
        text(p, QRectF(content_.left(), y, content_.width(), titleH_), layout_.title, Qt::AlignLeft);
        y += titleH_;
        p.setPen(QPen(accent, 1.2));
        p.drawLine(QPointF(content_.left(), y + 2), QPointF(content_.right(), y + 2));
        y += 6;
        // Column headings on a shaded bar; blocks label their own cells.
        if (!block_)
            p.fillRect(QRectF(content_.left(), y, content_.width(), headingsH_), QColor(0xdc, 0xe3, 0xec));
        p.setPen(accent);
        p.setFont(font(layout_.fontSize, true));
        for (int i = 0; i < layout_.columns.size() && !block_; ++i) {
            const QRectF r(columnX_[i].left() + 2, y, columnX_[i].width() - 4, headingsH_);
            text(p, r, layout_.columns[i].heading, layout_.columns[i].align);
        }
        // Page footer.
        const double fy = content_.bottom() - footerH_;
        p.setPen(QPen(QColor(0x90, 0x90, 0x90), 0.6));
        p.drawLine(QPointF(content_.left(), fy + 4), QPointF(content_.right(), fy + 4));
        p.setPen(ink);
        p.setFont(font(layout_.fontSize - 1));
        const QRectF fr(content_.left(), fy + 6, content_.width(), footerH_ - 6);
        text(p, fr, placeholders(layout_.footerLeft, values), Qt::AlignLeft);
        text(p, fr, placeholders(layout_.footerCenter, values), Qt::AlignHCenter);
        text(p, fr, placeholders(layout_.footerRight, values), Qt::AlignRight);
    }

    void drawBand(QPainter& p, const Band& b, double y, double h) {
        const QColor ink(0x20, 0x20, 0x20);
        const QColor accent(0x1f, 0x3a, 0x5f);
        const QHash<QString, QString> values = {
            {QStringLiteral("value"), b.value.isEmpty() ? QStringLiteral("(none)") : b.value},
            {QStringLiteral("count"), QString::number(b.count)},
        };
        switch (b.kind) {
        case BandKind::Detail: {
            if (block_) {
                drawBlock(p, b, y, h);
                break;
            }
            if (b.count % 2 == 1)
                p.fillRect(QRectF(content_.left(), y, content_.width(), h), QColor(0xf3, 0xf5, 0xf8));
            p.setPen(ink);
            p.setFont(font(layout_.fontSize));
            for (int i = 0; i < b.values.size(); ++i) {
                const QRectF r(columnX_[i].left() + 2, y, columnX_[i].width() - 4, h);
                text(p, r, textOf(b.values[i]), layout_.columns[i].align);
            }
            break;
        }
        case BandKind::GroupHeader: {
            p.setPen(accent);
            p.setFont(font(layout_.fontSize + 1, true));
            const QRectF r(content_.left(), y + h - line_ * 1.3, content_.width(), line_ * 1.2);
            text(p, r,
                 placeholders(layout_.groupHeader.isEmpty() ? QStringLiteral("{value}") : layout_.groupHeader,
                              values),
                 Qt::AlignLeft);
            p.setPen(QPen(accent, 0.6));
            p.drawLine(QPointF(content_.left(), y + h - 0.5), QPointF(content_.right(), y + h - 0.5));
            break;
        }
        case BandKind::GroupFooter: {
            p.setPen(ink);
            p.setFont(font(layout_.fontSize, false, true));
            text(p, QRectF(content_.left(), y, content_.width(), line_ * 1.1),
                 placeholders(layout_.groupFooter, values), Qt::AlignRight);
            break;
        }
        case BandKind::Total: {
            p.setPen(QPen(accent, 1));
            p.drawLine(QPointF(content_.left(), y + 3), QPointF(content_.right(), y + 3));
            p.setPen(accent);
            p.setFont(font(layout_.fontSize + 1, true));
            text(p, QRectF(content_.left(), y + 4, content_.width(), h - 4),
                 placeholders(layout_.total, values), Qt::AlignRight);
            break;
        }
        case BandKind::Empty: {
            p.setPen(ink);
            p.setFont(font(layout_.fontSize, false, true));
            text(p, QRectF(content_.left(), y, content_.width(), h), layout_.emptyText, Qt::AlignHCenter);
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
                p.setFont(font(layout_.fontSize, true));
                text(p, QRectF(x, ty, lw, line_), layout_.columns[i].heading + u':', Qt::AlignLeft);
            }
            p.setPen(ink);
            p.setFont(font(layout_.fontSize));
            const QStringList& lines = b.cellLines[i];
            for (int k = 0; k < lines.size(); ++k)
                text(p, QRectF(x + lw, ty + k * line_, columnX_[i].width() - 4 - lw + 2, line_), lines[k],
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
    double dpi_ = 72;
    QString printDate_, printTime_;
    std::vector<StreamState> starts_;
    std::deque<data::Row> buffer_;
    qint64 rows_ = 0;
};

std::unique_ptr<ReportDocument> makeDocument(const ReportLayout& layout, DataConnection& connection) {
    auto run = std::make_unique<ReportRun>(layout, connection);
    run->countPages(nullptr);
    return run;
}

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
    if (!run.countPages(status.get())) return;
    if (options.destination == Destination::Preview) {
        status.reset();
        reportWindows().preview(run);
        return;
    }
    run.write(options, status.get());
}

} // namespace reports
