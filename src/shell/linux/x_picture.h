#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstdint>

namespace tavo {

// The picture the mascot's window shows, kept on the client side as an X
// image of 32 bits per pixel (B, G, R, A in memory, rows top-down) for one
// visual of depth 32 or 24. In a
// shared-memory segment when the X server offers MIT-SHM, so that showing
// part of it copies nothing through the connection; in ordinary memory
// otherwise. Starts fully transparent.
class XPicture {
public:
    XPicture(Display* display, Visual* visual, int depth, int32_t width, int32_t height);
    ~XPicture();
    XPicture(const XPicture&) = delete;
    XPicture& operator=(const XPicture&) = delete;

    bool valid() const { return image_ != nullptr; }
    bool shared() const { return shared_; }
    uint8_t* row(int32_t y) { return data_ + static_cast<size_t>(y) * static_cast<size_t>(stride_); }

    // Sends the rectangle (x, y, width, height) of the picture to the same
    // place of a drawable of the picture's depth.
    void put(Drawable drawable, int32_t x, int32_t y, int32_t width, int32_t height);
    // Before the picture is written again: a shared picture that the server
    // may still be reading is waited for (one round trip); once the server
    // has said it took the last put, nothing is waited for.
    void waitUntilTaken();
    // True for the server's word that it took a put of this picture (the
    // event is then this picture's, and handled).
    bool takeCompletion(const XEvent& event);

private:
    void release();

    Display* display_;
    XImage* image_ = nullptr;
    GC gc_ = nullptr;
    XShmSegmentInfo segment_{};
    bool shared_ = false;
    bool inFlight_ = false;  // a shared put that the server has not confirmed
    unsigned long lastPutSerial_ = 0;
    int completionType_ = -1;
    uint8_t* data_ = nullptr;
    int32_t stride_ = 0;
};

}  // namespace tavo
