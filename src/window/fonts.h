#pragma once

#include <QFont>

namespace veltro {

// The faces the panel was drawn with, each followed by look-alikes found on
// other systems, at the designed point sizes.
enum class FontKind { Default, Sans975, Sans975Bold, Arial975, Arial975Bold, Serif825, Courier975 };

QFont panelFont(FontKind kind);

}  // namespace veltro

class QLabel;

namespace veltro {

// Shrinks a label's font in quarter points (to no less than 80 % of its
// size) until `lines` lines fit the label's height and, for a single line,
// the text fits its width. The substitute faces run taller and wider than
// the faces the rectangles were drawn for.
void fitLabelFont(QLabel* label, const QFont& designed, int lines);

}  // namespace veltro

class QComboBox;

namespace veltro {

// The same for the port box: shrinks its font (to no less than 80 %) until
// `sample` fits its edit field, so a port name is not cut at its start.
void fitComboFont(QComboBox* box, const QFont& designed, const QString& sample);

}  // namespace veltro
