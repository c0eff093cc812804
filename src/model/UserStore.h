#pragma once
#include <memory>
#include <string>

#include "model/RegStore.h"

// The current user's store, where the operating system keeps it.
class UserStore {
public:
    // Where the store lives for this user (empty when no home is known).
    static std::string Location();
    static std::unique_ptr<RegStore> Open();
};
