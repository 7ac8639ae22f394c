#include "shell/linux/x_picture.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>

namespace tavo {

namespace {

// Attaching a segment fails with an X error (for instance on a remote
// display); it is caught here instead of ending the program.
bool attachFailed = false;
int noteAttachError(Display*, XErrorEvent*) {
    attachFailed = true;
    return 0;
}

}  // namespace

XPicture::XPicture(Display* display, Visual* visual, int depth, int32_t width, int32_t height)
    : display_(display) {
    if (display == nullptr || visual == nullptr || (depth != 32 && depth != 24) || width <= 0 || height <= 0) {
        return;
    }
    if (XShmQueryExtension(display)) {
        image_ = XShmCreateImage(display, visual, depth, ZPixmap, nullptr, &segment_,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height));
        if (image_ != nullptr) {
            segment_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image_->bytes_per_line) * height,
                                    IPC_CREAT | 0600);
            void* address = segment_.shmid >= 0 ? shmat(segment_.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
            if (address != reinterpret_cast<void*>(-1)) {
                segment_.shmaddr = image_->data = static_cast<char*>(address);
                segment_.readOnly = False;
                XSync(display, False);
                attachFailed = false;
                XErrorHandler previous = XSetErrorHandler(noteAttachError);
                const bool attached = XShmAttach(display, &segment_) != 0;
                XSync(display, False);
                XSetErrorHandler(previous);
                shared_ = attached && !attachFailed;
                completionType_ = XShmGetEventBase(display) + ShmCompletion;
            }
            if (segment_.shmid >= 0) {
                // Removed once both sides have detached.
                shmctl(segment_.shmid, IPC_RMID, nullptr);
            }
            if (!shared_) {
                if (segment_.shmaddr != nullptr) shmdt(segment_.shmaddr);
                segment_ = XShmSegmentInfo{};
                image_->data = nullptr;
                XDestroyImage(image_);
                image_ = nullptr;
            }
        }
    }
    if (image_ == nullptr) {
        const int stride = width * 4;
        char* memory = static_cast<char*>(std::calloc(static_cast<size_t>(stride) * height, 1));
        if (memory == nullptr) {
            return;
        }
        image_ = XCreateImage(display, visual, depth, ZPixmap, 0, memory, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), 32, stride);
        if (image_ == nullptr) {
            std::free(memory);
            return;
        }
    }
    if (image_->bits_per_pixel != 32) {
        release();
        return;
    }
    data_ = reinterpret_cast<uint8_t*>(image_->data);
    stride_ = image_->bytes_per_line;
    std::memset(data_, 0, static_cast<size_t>(stride_) * height);
}

XPicture::~XPicture() { release(); }

void XPicture::put(Drawable drawable, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (image_ == nullptr || width <= 0 || height <= 0) {
        return;
    }
    if (gc_ == nullptr) {
        gc_ = XCreateGC(display_, drawable, 0, nullptr);
    }
    if (shared_) {
        lastPutSerial_ = NextRequest(display_);
        XShmPutImage(display_, drawable, gc_, image_, x, y, x, y, static_cast<unsigned>(width),
                     static_cast<unsigned>(height), True);
        inFlight_ = true;
    } else {
        XPutImage(display_, drawable, gc_, image_, x, y, x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    }
}

void XPicture::waitUntilTaken() {
    if (inFlight_) {
        XSync(display_, False);
        inFlight_ = false;
    }
}

bool XPicture::takeCompletion(const XEvent& event) {
    if (!shared_ || event.type != completionType_) {
        return false;
    }
    const XShmCompletionEvent& completion = reinterpret_cast<const XShmCompletionEvent&>(event);
    if (completion.shmseg != segment_.shmseg) {
        return false;
    }
    // Only the word for the last put frees the picture: an earlier put's may
    // come while a later one is still being read.
    if (completion.serial >= lastPutSerial_) {
        inFlight_ = false;
    }
    return true;
}

void XPicture::release() {
    if (gc_ != nullptr) {
        XFreeGC(display_, gc_);
        gc_ = nullptr;
    }
    if (image_ == nullptr) {
        return;
    }
    if (shared_) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
        shmdt(segment_.shmaddr);
        image_->data = nullptr;
    }
    XDestroyImage(image_);  // frees ordinary memory with the image
    image_ = nullptr;
    data_ = nullptr;
}

}  // namespace tavo
