#pragma once

// The place of a value inside a JSON document, as a chain of segments on the converter's
// stack. Nothing is formatted while the conversion succeeds; a failure turns the chain into
// text such as "groups[1].characters[0].blends".

#include "CoreMinimal.h"

namespace UE::JsonUtilities::Private
{
	struct FJsonPathSegment
	{
		enum class EKind : uint8
		{
			/** A member of an object: a record's field, a map's value, a function's argument. */
			Member,
			/** An element of an array. */
			Index,
			/** The key of a map entry, read as the map's key type. */
			Key,
		};

		static FJsonPathSegment Member(const FJsonPathSegment* Parent, const FString& Name) { return {Parent, &Name, 0, EKind::Member}; }
		static FJsonPathSegment Index(const FJsonPathSegment* Parent, int32 Position) { return {Parent, nullptr, Position, EKind::Index}; }
		static FJsonPathSegment Key(const FJsonPathSegment* Parent, const FString& Name) { return {Parent, &Name, 0, EKind::Key}; }

		/** "'groups[1].blends'" for a value; "the key of 'scores.bob'" for a map key. */
		FString Describe() const;

		const FJsonPathSegment* Parent;
		const FString* Name;
		int32 Position;
		EKind Kind;
	};
}
