// The print preview window, its page layout and its control bar.
#include "shell/PreviewWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QToolBar>
#include <QVBoxLayout>

#include "shell/BrenloApp.h"
#include "shell/Commands.h"

void PreviewPages::previous() {
  if (minPage < fromPage) {
    --fromPage;
    --toPage;
    if (twoPages) secondPage = toPage;
  }
}

void PreviewPages::next() {
  if (toPage < maxPage) {
    ++fromPage;
    ++toPage;
    if (twoPages) secondPage = toPage;
  }
}

void PreviewPages::showOnePage() {
  if (twoPages) {
    twoPages = false;
    secondPage = 0;
    toPage = fromPage;
  }
}

void PreviewPages::showTwoPages() {
  if (twoPages) return;
  twoPages = true;
  if (fromPage == maxPage) {
    if (fromPage < 2) {
      secondPage = 0;  // a one-page document: the second place stays blank
      return;
    }
    --fromPage;
  }
  toPage = fromPage + 1;
  secondPage = toPage;
}

QString PreviewPages::text() const {
  if (twoPages && fromPage != toPage) return QStringLiteral("Page %1 - %2").arg(fromPage).arg(toPage);
  return QStringLiteral("Page %1").arg(fromPage);
}

QRect previewPageRect(QSize area, QSize printable, int index) {
  const int pw = std::max(1, printable.width()), ph = std::max(1, printable.height());
  const int ratio = 100 * std::min(pw, ph) / std::max(pw, ph);
  int w, h;
  if (area.height() < area.width() * ratio / 100) {
    h = area.height() - 30;
    w = static_cast<int>(static_cast<long long>(pw) * 95 / ph * h / 100);
  } else {
    w = area.width() - 30;
    h = static_cast<int>(static_cast<long long>(ph) * 95 / pw * w / 100);
  }
  QRect first(15, 15, std::max(1, w), std::max(1, h));
  return index == 0 ? first : first.translated(first.width() + 30, 0);
}

namespace {

// The area on which the preview pages are drawn.
class PreviewLayout : public QWidget {
 public:
  explicit PreviewLayout(PreviewWindow* preview) : preview_(preview) {
    setObjectName(QStringLiteral("previewLayout"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::gray);
    setPalette(p);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const PreviewPages& pages = preview_->pages();
    const QSize printable = preview_->property("printable").toSize();
    const int count = pages.twoPages ? 2 : 1;
    for (int i = 0; i < count; ++i) {
      QRect r = previewPageRect(size(), printable, i);
      int page = i == 0 ? pages.fromPage : pages.secondPage;
      painter.drawImage(r.topLeft(), preview_->pageImage(page, r.size()));
      painter.setPen(Qt::black);
      painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
  }

 private:
  PreviewWindow* preview_;
};

}  // namespace

PreviewWindow::PreviewWindow(QWidget* owner, QWidget* window, QPrinter* printer)
    : QDialog(owner), printer_(printer), printOut_(window, QStringLiteral("Print Preview")) {
  setWindowTitle(QStringLiteral("Print Preview"));
  setObjectName(QStringLiteral("PreviewWindow"));
  QRectF paper = printer->pageRect(QPrinter::DevicePixel);
  printable_ = paper.size().toSize();
  setProperty("printable", printable_);
  pages_.maxPage = printOut_.beginPrinting(*printer);
  pages_.landscape = printable_.width() > printable_.height();

  bar_ = new QToolBar(QStringLiteral("Preview"), this);
  bar_->setObjectName(QStringLiteral("previewBar"));
  QFont font = bar_->font();
  font.setPointSize(10);
  bar_->setFont(font);
  auto add = [this](int id, const QString& text, const QString& icon) {
    QAction* a = bar_->addAction(QIcon(icon), text);
    a->setObjectName(QString::number(id));
    controls_[id] = a;
    return a;
  };
  auto spacer = [this](int width) {
    auto* gap = new QWidget;
    gap->setFixedWidth(width);
    bar_->addWidget(gap);
  };
  connect(add(24500, QStringLiteral("Previous page"), QStringLiteral(":/icons/24500.svg")),
          &QAction::triggered, this, [this] { pages_.previous(); refresh(); });
  connect(add(24501, QStringLiteral("Next page"), QStringLiteral(":/icons/24501.svg")),
          &QAction::triggered, this, [this] { pages_.next(); refresh(); });
  spacer(6);
  auto* group = new QActionGroup(this);
  group->setExclusive(true);
  QAction* one = add(24502, QStringLiteral("One page"), QStringLiteral(":/icons/24502.svg"));
  QAction* two = add(24503, QStringLiteral("Two pages"), QStringLiteral(":/icons/24503.svg"));
  for (QAction* a : {one, two}) {
    a->setCheckable(true);
    group->addAction(a);
  }
  one->setChecked(true);
  connect(one, &QAction::triggered, this, [this] { pages_.showOnePage(); refresh(); });
  connect(two, &QAction::triggered, this, [this] { pages_.showTwoPages(); refresh(); });
  spacer(12);
  field_ = new QLineEdit(QStringLiteral("Page 1"));
  field_->setObjectName(QStringLiteral("24504"));
  field_->setReadOnly(true);
  field_->setFrame(true);
  field_->setAlignment(Qt::AlignLeft);
  field_->setFixedWidth(field_->fontMetrics().averageCharWidth() * 10 + 12);
  bar_->addWidget(field_);
  spacer(20);
  connect(add(cm::FilePrint, QStringLiteral("Print"), QStringLiteral(":/icons/24337.svg")),
          &QAction::triggered, this, [] {
            if (auto* app = brenloApp::instance()) app->print();
          });
  spacer(20);
  connect(add(24505, QStringLiteral("Done"), QStringLiteral(":/icons/24505.svg")), &QAction::triggered, this,
          [this] { done(2); });

  layout_ = new PreviewLayout(this);
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  box->addWidget(bar_);
  box->addWidget(layout_, 1);
  refresh();
}

PreviewWindow::~PreviewWindow() = default;

QAction* PreviewWindow::control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

QString PreviewWindow::pageField() const { return field_->text(); }

QImage PreviewWindow::pageImage(int page, QSize size) const {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image.fill(Qt::white);
  if (page > 0) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The page is drawn in printer pixels and shrunk onto the picture.
    painter.scale(double(size.width()) / std::max(1, printable_.width()),
                  double(size.height()) / std::max(1, printable_.height()));
    printOut_.printPage(painter, page);
  }
  return image;
}

void PreviewWindow::refresh() {
  controls_[24500]->setEnabled(pages_.canPrevious());
  controls_[24501]->setEnabled(pages_.canNext());
  controls_[24503]->setEnabled(pages_.canTwoPages());
  field_->setText(pages_.text());
  layout_->update();
}
