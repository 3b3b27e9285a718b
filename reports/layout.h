#pragma once
// A report project as read from its file: the page, the bands and the columns of one report.
// The file format is described in doc/reports.md.
#include <QPageLayout>
#include <QString>
#include <QVector>

namespace reports {

struct ReportColumn {
    QString field;     // the connection's field name
    QString heading;   // default: the field name
    double width = 10; // in characters; the columns are scaled to the printable width
    Qt::Alignment align = Qt::AlignLeft;
};

struct ReportLayout {
    QString fileName; // the file it was read from
    QString title;
    QString connection;
    QPageSize::PageSizeId pageSize = QPageSize::Letter;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double marginMm = 12.7;
    double fontSize = 9; // points of the detail lines
    // Table: one line per row under column headings. Block: one block per row, its columns
    // as labelled cells that run left to right over lines of 100 width units, long texts
    // wrapped within their cells.
    enum class Style { Table, Block };
    Style style = Style::Table;
    // Texts of the page header and footer: left, centre, right. Placeholders: {title},
    // {date}, {time}, {page}, {pages}.
    QString headerLeft, headerCenter, headerRight;
    QString footerLeft, footerCenter, footerRight;
    QVector<ReportColumn> columns;
    // Grouping: a new group starts when the field's value changes. {value}, {count}.
    QString groupField;
    QString groupHeader;
    QString groupFooter;
    QString total;     // {count}; empty: no total line
    QString emptyText; // shown when there are no rows

    // Reads a project file; raises ReportError with the file, line and fault.
    static ReportLayout load(const QString& fileName);
};

} // namespace reports
