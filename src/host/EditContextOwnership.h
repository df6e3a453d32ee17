#pragma once

#include <memory>
#include <utility>

#include "core/I_EditContext.h"

namespace Holloform {

// The handle that acquire_edit_context returns: it owns one edit context and
// destroys it when the handle goes. Move-only, so exactly one handle owns a
// given edit context; a moved-from handle is empty. Everything here is
// inline, so a host needs no library symbol beyond acquire_edit_context to
// use or destroy it.
class I_EditContextOwnerhip {
public:
    I_EditContextOwnerhip() noexcept = default;
    explicit I_EditContextOwnerhip(std::unique_ptr<I_EditContext> context) noexcept : context_(std::move(context)) {}

    I_EditContextOwnerhip(I_EditContextOwnerhip&&) noexcept = default;
    I_EditContextOwnerhip& operator=(I_EditContextOwnerhip&&) noexcept = default;
    I_EditContextOwnerhip(const I_EditContextOwnerhip&) = delete;
    I_EditContextOwnerhip& operator=(const I_EditContextOwnerhip&) = delete;
    ~I_EditContextOwnerhip() = default;

    // The owned edit context, or null for an empty handle.
    I_EditContext* get() const noexcept { return context_.get(); }
    I_EditContext& operator*() const noexcept { return *context_; }
    I_EditContext* operator->() const noexcept { return context_.get(); }
    explicit operator bool() const noexcept { return context_ != nullptr; }

private:
    std::unique_ptr<I_EditContext> context_;
};

}  // namespace Holloform
