#pragma once
// The general routines that work on windows and their controls.

class QLineEdit;
class QTreeWidget;
class QWidget;

namespace Modulo {

// Centres the window on the screen (top 0 when topAtZero) and shows it: modal style 1 shows it modal and
// returns when it is hidden or closed; 0 shows it and gives it the focus.
void CentralizaForm(QWidget* form, int modalStyle, bool topAtZero);

// Presses a key (the platform's key code, 9 = Tab) on the control with the focus; Tab moves the focus to the
// next control. Nothing happens when no control has the focus.
void PressionaTecla(short keyCode);

// Sizes every column to the larger of its contents and its header.
void AjustaColunasListView(QTreeWidget* listView);

// Selects the whole text of the box.
void SelecionaTexto(QLineEdit* textBox);

}  // namespace Modulo
