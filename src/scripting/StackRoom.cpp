#include "scripting/StackRoom_p.h"

#include <algorithm>
#include <pthread.h>

namespace scripting {

namespace {
struct Stack {
    const char* low = nullptr;  // its lowest address (it grows down); null when the system does not tell
    std::size_t size = 0;
};

const Stack& thisThreadsStack()
{
    thread_local const Stack stack = [] {
        Stack s;
        pthread_attr_t attributes;
        if (pthread_getattr_np(pthread_self(), &attributes) != 0)
            return s;
        void* address = nullptr;
        pthread_attr_getstack(&attributes, &address, &s.size);
        pthread_attr_destroy(&attributes);
        s.low = static_cast<const char*>(address);
        return s;
    }();
    return stack;
}
}  // namespace

bool stackNearlyFull(std::size_t reserve)
{
    const char probe = 0;
    const Stack& stack = thisThreadsStack();
    // A small stack keeps a quarter of itself in reserve rather than more than it has.
    return stack.low && std::size_t(&probe - stack.low) < std::min(reserve, stack.size / 4);
}

}  // namespace scripting
