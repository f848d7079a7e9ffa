#pragma once
// The one instance of a window, created on first use. A window closed inside the main window is deleted,
// and the next use creates it anew, as the platform loads a form's default instance again.

#include <QPointer>

namespace screens {

template <class Form>
Form& globalForm()
{
    static QPointer<Form> form;
    if (!form)
        form = new Form;
    return *form;
}

}  // namespace screens
