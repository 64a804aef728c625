#pragma once

#include <functional>
#include <utility>

template <class Signature>
class Seam;

// A function the program runs through a replaceable slot: the dialogs and
// boxes that wait for a person, and the delays a person would notice. Tests
// replace it for a scope; the standard function comes back when the scope
// ends, also when a test fails by throwing.
template <class R, class... Args>
class Seam<R(Args...)> {
public:
    using Function = std::function<R(Args...)>;

    explicit Seam(Function standard)
        : standard_(std::move(standard))
    {
    }
    Seam(const Seam &) = delete;
    Seam &operator=(const Seam &) = delete;

    R operator()(Args... args) const
    {
        return replacement_ ? replacement_(std::forward<Args>(args)...) : standard_(std::forward<Args>(args)...);
    }

    // Holds a replacement until it goes out of scope; the one before it
    // (or the standard function) then returns.
    class [[nodiscard]] Override {
    public:
        Override(Seam &seam, Function replacement)
            : seam_(seam), previous_(std::exchange(seam.replacement_, std::move(replacement)))
        {
        }
        ~Override() { seam_.replacement_ = std::move(previous_); }
        Override(const Override &) = delete;
        Override &operator=(const Override &) = delete;

    private:
        Seam &seam_;
        Function previous_;
    };

    // The replacement for the scope of the returned object.
    [[nodiscard]] Override replace(Function replacement) { return {*this, std::move(replacement)}; }

    // The standard function, for a replacement that wants it after all.
    R standard(Args... args) const { return standard_(std::forward<Args>(args)...); }

private:
    Function standard_;
    Function replacement_;
};
