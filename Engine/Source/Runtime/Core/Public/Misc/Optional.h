#pragma once

// TOptional: a value that may be unset, with the engine's member names.

#include "Misc/AssertionMacros.h"

#include <optional>
#include <utility>

template <typename OptionalType>
class TOptional
{
public:
	TOptional() = default;
	TOptional(const OptionalType& Value) : Value(Value) {}
	TOptional(OptionalType&& Value) : Value(std::move(Value)) {}

	bool IsSet() const { return Value.has_value(); }
	explicit operator bool() const { return IsSet(); }
	/** The value; reading an unset optional is a failed check. */
	const OptionalType& GetValue() const
	{
		check(IsSet());
		return *Value;
	}
	OptionalType& GetValue()
	{
		check(IsSet());
		return *Value;
	}
	const OptionalType& operator*() const { return GetValue(); }
	OptionalType& operator*() { return GetValue(); }
	const OptionalType* operator->() const { return &GetValue(); }
	OptionalType* operator->() { return &GetValue(); }
	/** The value, or DefaultValue when unset. */
	const OptionalType& Get(const OptionalType& DefaultValue) const { return IsSet() ? *Value : DefaultValue; }
	const OptionalType* GetPtrOrNull() const { return IsSet() ? &*Value : nullptr; }
	OptionalType* GetPtrOrNull() { return IsSet() ? &*Value : nullptr; }

	template <typename... ArgTypes>
	OptionalType& Emplace(ArgTypes&&... Args)
	{
		return Value.emplace(std::forward<ArgTypes>(Args)...);
	}
	void Reset() { Value.reset(); }

	bool operator==(const TOptional& Other) const = default;

private:
	std::optional<OptionalType> Value;
};
