#include "platform/system/tqthreadname.h"

#include <pthread.h>

#include <string>

namespace tqplat {

void NameCurrentThread(const char* name) {
    if (name && *name)
        pthread_setname_np(pthread_self(), std::string(name).substr(0, 15).c_str());
}

} // namespace tqplat
