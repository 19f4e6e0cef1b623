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
