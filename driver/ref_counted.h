// Reference counting shared by every object the driver hands out.
#pragma once

#include <cstdint>

#include "driver/sqldriver.h"

namespace basalt {

// Implements slots 0 to 2 of an interface. The virtual destructor lands after the interface's own
// slots, so the interface's slot order is untouched.
template <class Interface>
class RefCounted : public Interface {
public:
    ResultCode QueryInterface(const void*, void**) override { return kResultOk; }
    std::int32_t AddRef() override { return ++references_; }
    std::int32_t Release() override {
        std::int32_t left = --references_;
        if (left == 0) delete this;
        return left;
    }

protected:
    RefCounted() = default;
    virtual ~RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

private:
    std::int32_t references_ = 0;
};

}  // namespace basalt
