#pragma once

#include "CoreMinimal.h"
#include "Engine/Texture.h"
#include "Engine/TextureBulkData.h"

#include <memory>

#include "Texture2D.generated.h"

/** A 2-D texture with its texels in CPU memory (mip 0 of its platform data). */
UCLASS(BlueprintType)
class ENGINE_API UTexture2D : public UTexture
{
	GENERATED_BODY()

public:
	/**
	 * A texture in the transient package with one mip of InSizeX × InSizeY texels of
	 * InFormat, all zero. Sizes must be positive and the format uncompressed; otherwise a
	 * warning is logged and null returned, as the engine does.
	 */
	static UTexture2D* CreateTransient(int32 InSizeX, int32 InSizeY, EPixelFormat InFormat = PF_B8G8R8A8, FName InName = NAME_None);

	int32 GetSizeX() const { return PlatformData ? PlatformData->SizeX : 0; }
	int32 GetSizeY() const { return PlatformData ? PlatformData->SizeY : 0; }
	EPixelFormat GetPixelFormat() const { return PlatformData ? PlatformData->PixelFormat : PF_Unknown; }
	FTexturePlatformData* GetPlatformData() { return PlatformData.get(); }
	const FTexturePlatformData* GetPlatformData() const { return PlatformData.get(); }
	void SetPlatformData(std::unique_ptr<FTexturePlatformData> InPlatformData) { PlatformData = std::move(InPlatformData); }

private:
	std::unique_ptr<FTexturePlatformData> PlatformData;
};
