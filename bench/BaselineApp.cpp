// The start-up baseline: a bare Qt program that builds the main window's 23 controls
// straight from its layout table, with the same fonts and no logic, and prints
// "shown <ns>" (CLOCK_MONOTONIC) at the window's first paint.
#include "FirstPaint.h"
#include "mainwindow/Form1Layout.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {

using korvane::bench::FirstPaint;

QString text(std::string_view view) {
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), font.family()});
    font.setPointSizeF(9.0);
    QApplication::setFont(font);
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("AR PL UMing CN")});

    const korvane::WindowLayout& layout = korvane::form1Layout;
    QWidget window;
    window.setWindowTitle(text(layout.caption));
    window.setGeometry(layout.left / 15, layout.top / 15, layout.width / 15, layout.height / 15);
    for (const korvane::ControlLayout& row : layout.controls) {
        QWidget* widget = nullptr;
        switch (row.kind) {
        case korvane::ControlKind::CommandButton:
            widget = new QPushButton(text(row.text), &window);
            break;
        case korvane::ControlKind::Label:
            widget = new QLabel(text(row.text), &window);
            break;
        case korvane::ControlKind::TextBox:
            break;
        case korvane::ControlKind::ComboBox: {
            auto* combo = new QComboBox(&window);
            combo->setEditable(true);
            combo->setEditText(text(row.text));
            widget = combo;
            break;
        }
        case korvane::ControlKind::HScrollBar:
            widget = new QScrollBar(Qt::Horizontal, &window);
            break;
        case korvane::ControlKind::Timer:
            new QTimer(&window);
            break;
        }
        if (widget) {
            widget->setGeometry(row.left / 15, row.top / 15, row.width / 15, row.height / 15);
            if (row.settings.font) {
                QFont mark;
                mark.setFamilies({text(row.settings.font->face)});
                mark.setPointSizeF(row.settings.font->points);
                widget->setFont(mark);
            }
        }
    }
    window.installEventFilter(new FirstPaint(&window));
    window.show();
    return QApplication::exec();
}
