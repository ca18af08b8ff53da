// A Qt program built against installed Lexaro controls: a markup label is
// laid out and drawn offscreen. Writes label.png in the working directory.
#include <QApplication>
#include <QImage>
#include <cstdio>
#include <lexaro/controls.h>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  CStatic_LX label("x<SUP>2</SUP><+>y<SUP>2</SUP>");
  label.resize(label.sizeHint());
  std::printf("%d wide, %d high\n", label.width(), label.height());
  const QImage image = label.grab().toImage();
  return !label.sizeHint().isEmpty() && image.save("label.png") ? 0 : 1;
}
