// The engine's own windows, as the user sees them when no test replaces them.
#include "reports/reportwindows.h"
#include "controls/application.h"
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace reports {

QPrinter& reportPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

namespace {

class OptionsDialog : public QDialog {
public:
    OptionsDialog(const QString& report, const OutputOptions& o) {
        setWindowTitle(QStringLiteral("Output Options"));
        setObjectName(QStringLiteral("OutputOptions"));
        auto* v = new QVBoxLayout(this);
        v->addWidget(new QLabel(QStringLiteral("Report: %1").arg(report)));
        printer_ = new QRadioButton(QStringLiteral("&Printer"));
        preview_ = new QRadioButton(QStringLiteral("Pre&view"));
        file_ = new QRadioButton(QStringLiteral("&File (PDF)"));
        auto* group = new QButtonGroup(this);
        for (QRadioButton* b : {printer_, preview_, file_})
            group->addButton(b);
        (o.destination == Destination::Printer ? printer_
         : o.destination == Destination::File  ? file_
                                               : preview_)
            ->setChecked(true);
        auto* setup = new QPushButton(QStringLiteral("Printer &Setup..."));
        connect(setup, &QPushButton::clicked, this, [this] {
            QPrintDialog d(&reportPrinter(), this);
            d.setWindowTitle(QStringLiteral("Printer Setup"));
            d.exec();
            printerName_->setText(reportPrinter().printerName());
        });
        auto* pr = new QHBoxLayout;
        pr->addWidget(printer_);
        printerName_ = new QLabel(reportPrinter().printerName());
        pr->addWidget(printerName_, 1);
        pr->addWidget(setup);
        v->addLayout(pr);
        v->addWidget(preview_);
        auto* fr = new QHBoxLayout;
        fr->addWidget(file_);
        fileName_ = new QLineEdit(o.fileName);
        fr->addWidget(fileName_, 1);
        auto* browse = new QPushButton(QStringLiteral("&Browse..."));
        connect(browse, &QPushButton::clicked, this, [this] {
            const QString f =
                QFileDialog::getSaveFileName(this, QStringLiteral("Save Report As"), fileName_->text(),
                                             QStringLiteral("PDF files (*.pdf)"));
            if (!f.isEmpty()) {
                fileName_->setText(f);
                file_->setChecked(true);
            }
        });
        fr->addWidget(browse);
        v->addLayout(fr);
        auto* form = new QFormLayout;
        copies_ = new QSpinBox;
        copies_->setRange(1, 999);
        copies_->setValue(o.copies);
        form->addRow(QStringLiteral("&Copies:"), copies_);
        from_ = new QSpinBox;
        to_ = new QSpinBox;
        for (QSpinBox* s : {from_, to_}) {
            s->setRange(0, 99999);
            s->setSpecialValueText(QStringLiteral("all"));
        }
        from_->setValue(o.fromPage);
        to_->setValue(o.toPage);
        auto* range = new QHBoxLayout;
        range->addWidget(from_);
        range->addWidget(new QLabel(QStringLiteral("to")));
        range->addWidget(to_);
        form->addRow(QStringLiteral("Pages from:"), range);
        v->addLayout(form);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        v->addWidget(buttons);
    }
    OutputOptions options() const {
        OutputOptions o;
        o.destination = printer_->isChecked() ? Destination::Printer
                        : file_->isChecked()  ? Destination::File
                                              : Destination::Preview;
        o.fileName = fileName_->text();
        o.copies = copies_->value();
        o.fromPage = from_->value();
        o.toPage = to_->value();
        return o;
    }

private:
    QRadioButton *printer_, *preview_, *file_;
    QLabel* printerName_;
    QLineEdit* fileName_;
    QSpinBox *copies_, *from_, *to_;
};

class StatusDialog : public StatusWindow {
public:
    explicit StatusDialog(const QString& report) {
        dialog_.setWindowTitle(QStringLiteral("Report Status"));
        dialog_.setObjectName(QStringLiteral("ReportStatus"));
        auto* v = new QVBoxLayout(&dialog_);
        v->addWidget(new QLabel(report));
        label_ = new QLabel;
        v->addWidget(label_);
        bar_ = new QProgressBar;
        bar_->setRange(0, 0);
        v->addWidget(bar_);
        auto* cancel = new QPushButton(QStringLiteral("Cancel"));
        QObject::connect(cancel, &QPushButton::clicked, [this] { cancelled_ = true; });
        v->addWidget(cancel, 0, Qt::AlignHCenter);
        dialog_.setModal(true);
        dialog_.show();
    }
    bool progress(const QString& phase, int pages, qint64 rows) override {
        label_->setText(QStringLiteral("%1: page %2, %3 rows").arg(phase).arg(pages).arg(rows));
        QCoreApplication::processEvents(); // lets the Cancel button be pressed
        return !cancelled_;
    }

private:
    QDialog dialog_;
    QLabel* label_;
    QProgressBar* bar_;
    bool cancelled_ = false;
};

class PreviewDialog : public QDialog {
public:
    explicit PreviewDialog(ReportDocument& doc) : doc_(doc) {
        setWindowTitle(QStringLiteral("Report Preview"));
        setObjectName(QStringLiteral("ReportPreview"));
        resize(900, 760);
        auto* v = new QVBoxLayout(this);
        auto* bar = new QHBoxLayout;
        auto button = [&](const QString& text, auto f) {
            auto* b = new QPushButton(text);
            b->setAutoDefault(false);
            connect(b, &QPushButton::clicked, this, f);
            bar->addWidget(b);
            return b;
        };
        button(QStringLiteral("|<"), [this] { go(0); });
        button(QStringLiteral("<"), [this] { go(page_ - 1); });
        pageLabel_ = new QLabel;
        bar->addWidget(pageLabel_);
        button(QStringLiteral(">"), [this] { go(page_ + 1); });
        button(QStringLiteral(">|"), [this] { go(doc_.pageCount() - 1); });
        zoom_ = new QComboBox;
        for (int z : {50, 75, 100, 125, 150, 200})
            zoom_->addItem(QStringLiteral("%1%").arg(z), z);
        zoom_->setCurrentIndex(2);
        connect(zoom_, &QComboBox::currentIndexChanged, this, [this] { draw(); });
        bar->addWidget(zoom_);
        bar->addStretch();
        button(QStringLiteral("&Print..."), [this] {
            QPrintDialog d(&reportPrinter(), this);
            if (d.exec() != QDialog::Accepted) return;
            OutputOptions o;
            o.destination = Destination::Printer;
            o.copies = reportPrinter().copyCount();
            if (reportPrinter().printRange() == QPrinter::PageRange) {
                o.fromPage = reportPrinter().fromPage();
                o.toPage = reportPrinter().toPage();
            }
            doc_.print(o);
        });
        button(QStringLiteral("Save as P&DF..."), [this] {
            const QString f = QFileDialog::getSaveFileName(this, QStringLiteral("Save Report As"), QString(),
                                                           QStringLiteral("PDF files (*.pdf)"));
            if (f.isEmpty()) return;
            OutputOptions o;
            o.destination = Destination::File;
            o.fileName = f;
            doc_.print(o);
        });
        button(QStringLiteral("&Close"), [this] { accept(); });
        v->addLayout(bar);
        image_ = new QLabel;
        image_->setAlignment(Qt::AlignCenter);
        auto* scroll = new QScrollArea;
        scroll->setWidget(image_);
        scroll->setWidgetResizable(true);
        scroll->setBackgroundRole(QPalette::Dark);
        v->addWidget(scroll, 1);
        go(0);
        // The pages after the first are counted while the preview shows, a slice at a time.
        counter_.setInterval(0);
        connect(&counter_, &QTimer::timeout, this, [this] {
            QElapsedTimer slice;
            slice.start();
            while (!doc_.pagesCounted() && slice.elapsed() < 40)
                doc_.countPages(1);
            if (doc_.pagesCounted()) {
                counter_.stop();
                go(page_); // the page's footer now shows the number of pages
            } else {
                showPageNumber();
            }
        });
        if (!doc_.pagesCounted()) counter_.start();
    }

private:
    void go(int page) {
        page_ = qBound(0, page, qMax(0, doc_.pageCount() - 1));
        showPageNumber();
        draw();
    }
    void showPageNumber() {
        pageLabel_->setText(
            doc_.pagesCounted()
                ? QStringLiteral("Page %1 of %2").arg(page_ + 1).arg(doc_.pageCount())
                : QStringLiteral("Page %1 of %2 (counting...)").arg(page_ + 1).arg(doc_.pageCount()));
    }
    // Only the page shown is drawn.
    void draw() {
        const double scale = zoom_->currentData().toInt() / 100.0 * 96.0 / 72.0;
        const QSizeF pts = doc_.pageSizePoints();
        QImage img(QSize(int(pts.width() * scale), int(pts.height() * scale)), QImage::Format_RGB32);
        img.setDotsPerMeterX(int(96 / 0.0254 * zoom_->currentData().toInt() / 100.0));
        img.setDotsPerMeterY(img.dotsPerMeterX());
        img.fill(Qt::white);
        QPainter p(&img);
        doc_.drawPage(page_, p);
        p.end();
        image_->setPixmap(QPixmap::fromImage(img));
    }
    ReportDocument& doc_;
    int page_ = 0;
    QLabel* pageLabel_;
    QLabel* image_;
    QComboBox* zoom_;
    QTimer counter_;
};

class DefaultWindows : public ReportWindows {
public:
    bool outputOptions(const QString& title, OutputOptions& options) override {
        OptionsDialog d(title, options);
        if (d.exec() != QDialog::Accepted) return false;
        options = d.options();
        return true;
    }
    std::unique_ptr<StatusWindow> status(const QString& title) override {
        return std::make_unique<StatusDialog>(title);
    }
    void preview(ReportDocument& document) override {
        PreviewDialog d(document);
        d.exec();
    }
};

std::shared_ptr<ReportWindows>& current() {
    static std::shared_ptr<ReportWindows> w;
    return w;
}

} // namespace

ReportWindows& reportWindows() {
    if (!current()) current() = std::make_shared<DefaultWindows>();
    return *current();
}

void setReportWindows(std::shared_ptr<ReportWindows> windows) { current() = std::move(windows); }

} // namespace reports
