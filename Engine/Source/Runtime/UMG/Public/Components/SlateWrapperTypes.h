#pragma once

#include "CoreMinimal.h"

namespace ESlateSizeRule
{
	enum Type : uint8
	{
		/** The child's desired size. */
		Automatic,
		/** A share of the space the automatic children leave, in proportion to the size's value. */
		Fill,
	};
}

/** How much of a box panel's length a child takes. */
struct FSlateChildSize
{
	/** With Fill: the child's share, relative to the other fill children's. */
	float Value = 1.0f;
	ESlateSizeRule::Type SizeRule = ESlateSizeRule::Fill;

	FSlateChildSize() = default;
	FSlateChildSize(ESlateSizeRule::Type InSizeRule) : SizeRule(InSizeRule) {}

	bool operator==(const FSlateChildSize& Other) const = default;
};
