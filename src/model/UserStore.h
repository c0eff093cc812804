#pragma once
#include <memory>
#include <string>

#include "model/RegStore.h"

struct StoreTrouble;

// The current user's store, where the operating system keeps it.
class UserStore {
public:
    // Where the store lives for this user (empty when no home is known).
    static std::string Location();
    // The store; `trouble`, when given, learns what was wrong with its file.
    static std::unique_ptr<RegStore> Open(StoreTrouble* trouble = nullptr);
};
