#include "reports/layout.h"
#include "reports/reporterror.h"
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTextStream>

namespace reports {

namespace {

struct Parser {
    QString file;
    int line = 0;
    [[noreturn]] void fail(const QString& what) const {
        throw ReportError(QStringLiteral("The reporting project \"%1\" is not valid (line %2): %3")
                              .arg(file)
                              .arg(line)
                              .arg(what));
    }
    double number(const QString& text, const QString& key) const {
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok || v <= 0) fail(QStringLiteral("%1 must be a positive number, not \"%2\"").arg(key, text));
        return v;
    }
};

Qt::Alignment alignmentOf(const Parser& p, const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t.isEmpty() || t == QLatin1String("left")) return Qt::AlignLeft;
    if (t == QLatin1String("center") || t == QLatin1String("centre")) return Qt::AlignHCenter;
    if (t == QLatin1String("right")) return Qt::AlignRight;
    p.fail(QStringLiteral("unknown alignment \"%1\" (left, center or right)").arg(text.trimmed()));
}

} // namespace

ReportLayout ReportLayout::load(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ReportError(
            QStringLiteral("The reporting project \"%1\" cannot be read: %2").arg(fileName, f.errorString()));
    ReportLayout r;
    r.fileName = fileName;
    Parser p{fileName};
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    QString section;
    QSet<QString> seenSections;
    bool sawFormat = false;
    const QHash<QString, QSet<QString>> keys = {
        {QStringLiteral("report"),
         {QStringLiteral("title"), QStringLiteral("connection"), QStringLiteral("page"),
          QStringLiteral("margin"), QStringLiteral("font"), QStringLiteral("empty"),
          QStringLiteral("style")}},
        {QStringLiteral("header"),
         {QStringLiteral("left"), QStringLiteral("center"), QStringLiteral("right")}},
        {QStringLiteral("footer"),
         {QStringLiteral("left"), QStringLiteral("center"), QStringLiteral("right")}},
        {QStringLiteral("group"),
         {QStringLiteral("field"), QStringLiteral("header"), QStringLiteral("footer")}},
        {QStringLiteral("total"), {QStringLiteral("text")}},
        {QStringLiteral("columns"), {}},
    };
    while (!in.atEnd()) {
        const QString raw = in.readLine();
        ++p.line;
        const QString text = raw.trimmed();
        if (text.isEmpty() || text.startsWith(u'#')) continue;
        if (!sawFormat) {
            // The first line names the format, so that another kind of file is refused at once.
            if (text != QLatin1String("Quorvale report project 1"))
                p.fail(QStringLiteral("the first line must read \"Quorvale report project 1\""));
            sawFormat = true;
            continue;
        }
        if (text.startsWith(u'[')) {
            if (!text.endsWith(u']')) p.fail(QStringLiteral("a section name must end with \"]\""));
            section = text.mid(1, text.size() - 2).trimmed().toLower();
            if (!keys.contains(section)) p.fail(QStringLiteral("unknown section [%1]").arg(section));
            if (seenSections.contains(section))
                p.fail(QStringLiteral("section [%1] appears twice").arg(section));
            seenSections.insert(section);
            continue;
        }
        if (section.isEmpty()) p.fail(QStringLiteral("a line before the first section"));
        if (section == QLatin1String("columns")) {
            const QStringList parts = text.split(u'|');
            if (parts.size() < 1 || parts.size() > 4)
                p.fail(QStringLiteral("a column reads: field | heading | width | alignment"));
            ReportColumn c;
            c.field = parts.value(0).trimmed();
            if (c.field.isEmpty()) p.fail(QStringLiteral("a column without a field"));
            c.heading = parts.size() > 1 ? parts[1].trimmed() : c.field;
            if (parts.size() > 2 && !parts[2].trimmed().isEmpty())
                c.width = p.number(parts[2].trimmed(), "width");
            if (parts.size() > 3) c.align = alignmentOf(p, parts[3]);
            r.columns << c;
            continue;
        }
        const int eq = text.indexOf(u'=');
        if (eq <= 0) p.fail(QStringLiteral("expected key = value"));
        const QString key = text.left(eq).trimmed().toLower();
        const QString value = text.mid(eq + 1).trimmed();
        if (!keys.value(section).contains(key))
            p.fail(QStringLiteral("unknown key \"%1\" in [%2]").arg(key, section));
        if (section == QLatin1String("report")) {
            if (key == QLatin1String("title"))
                r.title = value;
            else if (key == QLatin1String("connection"))
                r.connection = value;
            else if (key == QLatin1String("margin"))
                r.marginMm = p.number(value, key);
            else if (key == QLatin1String("font"))
                r.fontSize = p.number(value, key);
            else if (key == QLatin1String("empty"))
                r.emptyText = value;
            else if (key == QLatin1String("style")) {
                const QString v = value.toLower();
                if (v == QLatin1String("table"))
                    r.style = Style::Table;
                else if (v == QLatin1String("block"))
                    r.style = Style::Block;
                else
                    p.fail(QStringLiteral("unknown style \"%1\" (table or block)").arg(value));
            } else if (key == QLatin1String("page")) {
                const QStringList w = value.toLower().split(u' ', Qt::SkipEmptyParts);
                if (w.size() != 2) p.fail(QStringLiteral("page reads: <size> portrait|landscape"));
                static const QHash<QString, QPageSize::PageSizeId> sizes = {
                    {QStringLiteral("letter"), QPageSize::Letter},
                    {QStringLiteral("legal"), QPageSize::Legal},
                    {QStringLiteral("a4"), QPageSize::A4},
                    {QStringLiteral("a5"), QPageSize::A5},
                };
                if (!sizes.contains(w[0]))
                    p.fail(QStringLiteral("unknown page size \"%1\" (Letter, Legal, A4, A5)").arg(w[0]));
                r.pageSize = sizes.value(w[0]);
                if (w[1] == QLatin1String("portrait"))
                    r.orientation = QPageLayout::Portrait;
                else if (w[1] == QLatin1String("landscape"))
                    r.orientation = QPageLayout::Landscape;
                else
                    p.fail(QStringLiteral("unknown orientation \"%1\" (portrait or landscape)").arg(w[1]));
            }
        } else if (section == QLatin1String("header") || section == QLatin1String("footer")) {
            const bool h = section == QLatin1String("header");
            QString& target = key == QLatin1String("left")     ? (h ? r.headerLeft : r.footerLeft)
                              : key == QLatin1String("center") ? (h ? r.headerCenter : r.footerCenter)
                                                               : (h ? r.headerRight : r.footerRight);
            target = value;
        } else if (section == QLatin1String("group")) {
            if (key == QLatin1String("field"))
                r.groupField = value;
            else if (key == QLatin1String("header"))
                r.groupHeader = value;
            else
                r.groupFooter = value;
        } else if (section == QLatin1String("total")) {
            r.total = value;
        }
    }
    if (!sawFormat) p.fail(QStringLiteral("the file is empty"));
    if (r.connection.isEmpty()) p.fail(QStringLiteral("[report] names no connection"));
    if (r.columns.isEmpty()) p.fail(QStringLiteral("[columns] lists no column"));
    if (r.style == Style::Block)
        for (const ReportColumn& c : r.columns)
            if (c.width > 100) p.fail(QStringLiteral("a block cell is at most 100 wide (%1)").arg(c.field));
    if (seenSections.contains(QStringLiteral("group")) && r.groupField.isEmpty())
        p.fail(QStringLiteral("[group] names no field"));
    return r;
}

} // namespace reports
