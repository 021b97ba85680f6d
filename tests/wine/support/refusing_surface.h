// A WGL surface that refuses one step of its set-up, as a machine without a usable OpenGL would,
// and keeps the lines its host would have logged.
#pragma once

#include <string>

#include "renderer/win32/wgl_surface.h"

namespace wintest {

class RefusingSurface : public WglSurface {
public:
    enum class Step { Nothing, PixelFormat, Context };
    explicit RefusingSurface(Step refused) : refused_(refused) {}

    std::string log;  // every line reported, each ended by a newline

    // Keeps the line, and logs it as the product would.
    void report(const char* line) override {
        log += line;
        log += '\n';
        WglSurface::report(line);
    }

protected:
    // No format, where that step is refused.
    int setPixelFormat() override { return refused_ == Step::PixelFormat ? 0 : WglSurface::setPixelFormat(); }
    // No context, where that step is refused.
    HGLRC createContext() override { return refused_ == Step::Context ? nullptr : WglSurface::createContext(); }

private:
    Step refused_;
};

}  // namespace wintest
