// An X11 drag source for the Windows program's drop test under Wine: a small window that,
// when the mouse is pressed on it, drags the files named on its command line (as a file
// manager would) and ends when the drag is over. The test moves the mouse with xdotool, and
// releases it once the source prints "accepted": the window under the pointer has answered
// that it takes the drop (a release before that answer drops nothing).
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class DragSource : public QWidget {
 public:
  explicit DragSource(QList<QUrl> files) : files_(std::move(files)) {}

 protected:
  void mousePressEvent(QMouseEvent*) override {
    auto* data = new QMimeData;
    data->setUrls(files_);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    QObject::connect(drag, &QDrag::actionChanged, [](Qt::DropAction action) {
      if (action == Qt::IgnoreAction) return;
      std::fputs("accepted\n", stdout);
      std::fflush(stdout);
    });
    drag->exec(Qt::CopyAction);
    QApplication::quit();
  }

 private:
  QList<QUrl> files_;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QList<QUrl> files;
  for (int i = 1; i < argc; ++i) files.append(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i])));
  DragSource source(files);
  source.setWindowTitle("pixorale-drag-source");
  source.setGeometry(600, 100, 120, 120);
  source.show();
  return QApplication::exec();
}
