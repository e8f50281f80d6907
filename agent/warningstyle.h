#pragma once

class QWidget;

// Marks or unmarks a widget through a boolean dynamic property ("warningStyle",
// "invalidInput") that the window's style sheet turns into a red frame or text, and
// polishes it again so that the rule takes effect at once.
void setWarningStyle(QWidget *widget, const char *property, bool on);

// Gives every push button under root room around its text: the style's own size leaves
// longer translations ("Hinzufügen", "Installieren") touching the frame.
void padButtons(QWidget *root);
