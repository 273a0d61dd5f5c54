#pragma once

#include "UObject/Class.h"
#include "UObject/ObjectPtr.h"

/** Object as a T when it is one (or derives from one); otherwise, or for null, nullptr. */
template <typename To, typename From>
To* Cast(From* Object)
{
	return Object && Object->IsA(To::StaticClass()) ? static_cast<To*>(const_cast<std::remove_const_t<From>*>(Object)) : nullptr;
}

template <typename To, typename From>
To* Cast(const TObjectPtr<From>& Object)
{
	return Cast<To>(Object.Get());
}

/** Object as a T; null or another type is a failed check. */
template <typename To, typename From>
To* CastChecked(From* Object)
{
	To* Result = Cast<To>(Object);
	checkf(Result != nullptr, TEXT("Cast of %s to %s failed"), Object ? *Object->GetFullName() : TEXT("nullptr"),
		*To::StaticClass()->GetName());
	return Result;
}

template <typename To, typename From>
To* CastChecked(const TObjectPtr<From>& Object)
{
	return CastChecked<To>(Object.Get());
}

/** Object as a T only when its class is exactly T. */
template <typename To, typename From>
To* ExactCast(From* Object)
{
	return Object && Object->GetClass() == To::StaticClass() ? static_cast<To*>(Object) : nullptr;
}
