#pragma once

// The module's enumerations. They live apart from the records so that the image processors,
// the texture-editing model and the editable component can use them without the data assets.
// Values are stored and compared by number; display names are for the editor only.

#include "CoreMinimal.h"

#include "HCEnumerations.generated.h"

/** Life cycle of an editable skeletal mesh component; editing cannot be restarted. */
UENUM(BlueprintType)
enum class EHCEditableSkeletalMeshComponentState : uint8
{
	ESMCS_Initial = 0 UMETA(DisplayName = "Initial"),
	ESMCS_Editing = 1 UMETA(DisplayName = "Editing"),
	ESMCS_Finished = 2 UMETA(DisplayName = "Finished"),
};

/** Which material texture a texture-editing stack produces. */
UENUM(BlueprintType)
enum class EHCTextureEditingMaterialKey : uint8
{
	MK_Albedo = 0 UMETA(DisplayName = "Albedo"),
	MK_Normal = 1 UMETA(DisplayName = "Normal"),
	MK_None = 2 UMETA(DisplayName = "None"),
};

/** How a blend processor combines its two inputs; the number is passed to the shader. */
UENUM(BlueprintType)
enum class EHCBlendTextureOperation : uint8
{
	BTO_Add = 0 UMETA(DisplayName = "Add"),
	BTO_Mul = 1 UMETA(DisplayName = "Mul"),
	BTO_Lerp = 2 UMETA(DisplayName = "Lerp"),
};

/** The input slots of a blend processor. */
UENUM(BlueprintType)
enum class EHCBlendTextureDependencySlot : uint8
{
	BTDS_InputTexture_A = 0 UMETA(DisplayName = "InputTexture_A"),
	BTDS_InputTexture_B = 1 UMETA(DisplayName = "InputTexture_B"),
	BTDS_MaskTexture = 2 UMETA(DisplayName = "MaskTexture"),
};

/** Where a swizzle processor takes one output channel from; the number is passed to the shader. */
UENUM(BlueprintType)
enum class EHCSwizzleChannel : uint8
{
	SC_Zero = 0 UMETA(DisplayName = "Zero"),
	SC_Red = 1 UMETA(DisplayName = "Red"),
	SC_Green = 2 UMETA(DisplayName = "Green"),
	SC_Blue = 3 UMETA(DisplayName = "Blue"),
	SC_Alpha = 4 UMETA(DisplayName = "Alpha"),
	SC_OneMinusRed = 5 UMETA(DisplayName = "OneMinusRed"),
	SC_OneMinusGreen = 6 UMETA(DisplayName = "OneMinusGreen"),
	SC_OneMinusBlue = 7 UMETA(DisplayName = "OneMinusBlue"),
	SC_OneMinusAlpha = 8 UMETA(DisplayName = "OneMinusAlpha"),
	SC_One = 9 UMETA(DisplayName = "One"),
};
