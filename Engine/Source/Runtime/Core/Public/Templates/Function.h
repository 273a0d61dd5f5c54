#pragma once

#include <functional>

/** A callable wrapper; an unset TFunction converts to false. */
template <typename Signature>
using TFunction = std::function<Signature>;
