#pragma once

#include <QObject>
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

// Every event handler of the program runs inside run(): an error it raises
// ends the handler there and is shown by the general error report before
// it can leave the handler's frame. Errors must never unwind through Qt's
// event delivery or signal emission, which do not support it.
namespace Handlers {

// Shows the error being handled (inside a catch block) by the general
// error report.
void reportCurrentError();

// True when the handler ran to its end, false after its error was shown.
template <class Handler>
bool run(Handler &&handler)
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (...) {
        reportCurrentError();
        return false;
    }
}

namespace detail {

template <class Signal>
struct SignalArguments;
template <class C, class R, class... A>
struct SignalArguments<R (C::*)(A...)> {
    using Tuple = std::tuple<A...>;
};
template <class C, class R, class... A>
struct SignalArguments<R (C::*)(A...) const> {
    using Tuple = std::tuple<A...>;
};

template <class Slot, class Receiver, class... A>
constexpr bool accepts()
{
    if constexpr (std::is_member_function_pointer_v<Slot>)
        return std::is_invocable_v<Slot, Receiver *, A...>;
    else
        return std::is_invocable_v<Slot &, A...>;
}

template <class Slot, class Receiver, class Tuple, std::size_t... I>
constexpr bool acceptsLeading(std::index_sequence<I...>)
{
    return accepts<Slot, Receiver, std::tuple_element_t<I, Tuple>...>();
}

// How many of the signal's leading arguments the slot takes: as with Qt's
// own connect, a slot may drop trailing arguments.
template <class Slot, class Receiver, class Tuple, std::size_t N = std::tuple_size_v<Tuple>>
constexpr std::size_t takenArguments()
{
    if constexpr (acceptsLeading<Slot, Receiver, Tuple>(std::make_index_sequence<N>{}))
        return N;
    else if constexpr (N == 0) {
        static_assert(N != 0, "the slot cannot be called with the signal's arguments");
        return 0;
    } else
        return takenArguments<Slot, Receiver, Tuple, N - 1>();
}

template <class Tuple, class Receiver, class Slot, std::size_t... I>
auto guarded(Receiver *receiver, Slot slot, std::index_sequence<I...>)
{
    return [receiver, slot](std::tuple_element_t<I, Tuple>... arguments) mutable {
        run([&] {
            if constexpr (std::is_member_function_pointer_v<Slot>)
                (receiver->*slot)(arguments...);
            else
                slot(arguments...);
        });
    };
}

} // namespace detail

// QObject::connect for event handlers: slot is a member function of
// receiver or a function object (receiver then only bounds the
// connection's life); it runs inside run().
template <class Sender, class Signal, class Receiver, class Slot>
QMetaObject::Connection connect(const Sender *sender, Signal signal, Receiver *receiver, Slot slot,
                                Qt::ConnectionType type = Qt::AutoConnection)
{
    using Arguments = typename detail::SignalArguments<Signal>::Tuple;
    constexpr std::size_t taken = detail::takenArguments<Slot, Receiver, Arguments>();
    return QObject::connect(sender, signal, receiver,
                            detail::guarded<Arguments>(receiver, std::move(slot), std::make_index_sequence<taken>{}),
                            type);
}

} // namespace Handlers
