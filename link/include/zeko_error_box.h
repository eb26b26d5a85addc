// For a C++ program that links the library statically (the tool): how the link shows its
// "Application Error" box. With no handler installed the platform's own box is used; on POSIX
// that means the text goes to standard error and nothing blocks.
#pragma once

#include <functional>

// The texts are UTF-8; the system's words in them are as the system gives them, in any code page.
using MessageBoxHandler =
    std::function<void(const char* text, const char* caption, unsigned int type)>;

// Replaces the handler; an empty one restores the platform's box.
void SetMessageBoxHandler(MessageBoxHandler handler);
