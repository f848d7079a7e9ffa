#include "scripting/StackRoom_p.h"

#include <pthread.h>

namespace scripting {

namespace {
// The lowest address of this thread's stack (it grows down); null when the system does not tell.
const char* stackLow()
{
    thread_local const char* low = [] {
        pthread_attr_t attributes;
        void* address = nullptr;
        std::size_t size = 0;
        if (pthread_getattr_np(pthread_self(), &attributes) != 0)
            return static_cast<const char*>(nullptr);
        pthread_attr_getstack(&attributes, &address, &size);
        pthread_attr_destroy(&attributes);
        return static_cast<const char*>(address);
    }();
    return low;
}
}  // namespace

bool stackNearlyFull(std::size_t reserve)
{
    const char probe = 0;
    const char* low = stackLow();
    return low && std::size_t(&probe - low) < reserve;
}

}  // namespace scripting
