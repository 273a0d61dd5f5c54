#pragma once

#include <memory>
#include <utility>

template <typename T, typename Deleter = std::default_delete<T>>
using TUniquePtr = std::unique_ptr<T, Deleter>;

template <typename T, typename... ArgTypes>
TUniquePtr<T> MakeUnique(ArgTypes&&... Args)
{
	return std::make_unique<T>(std::forward<ArgTypes>(Args)...);
}
