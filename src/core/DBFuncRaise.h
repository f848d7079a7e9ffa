#pragma once
// For the data-access members that hand their failures to the caller under their own name.

#include "runtime/Err.h"

// Inside a catch block: raises the error being handled again with the same number, `source`, and its
// description after `prefix`. No error is left pending in vb::Err.
[[noreturn]] inline void raiseAgainAs(const QString& source, const QString& prefix)
{
    vb::ErrObject caught;
    caught.SetFromCurrentException();
    vb::raiseError(caught.Number, source, prefix + caught.Description);
}
