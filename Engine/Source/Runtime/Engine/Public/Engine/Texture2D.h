#pragma once

#include "CoreMinimal.h"
#include "Engine/Texture.h"
#include "Engine/TextureBulkData.h"
#include "RHIResources.h"
#include "RenderCommandFence.h"
#include "Templates/Function.h"

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

	/**
	 * Copies NumRegions rectangles of SrcData into mip MipIndex and, for mip 0 of a texture
	 * with a rendering resource, into its GPU texture, in one render command: the texels change
	 * when that command runs, so read them after FlushRenderingCommands (or a
	 * fence begun after this call), and do not lock the mip meanwhile. SrcData is an image of
	 * SrcBpp bytes per texel whose rows lie SrcPitch bytes apart; each region's source rectangle
	 * must lie within it (SrcPitch wide, as far down as the regions reach).
	 *
	 * The command reads SrcData and Regions when it runs, not now, so both must stay alive and
	 * unchanged until then. DataCleanupFunc(SrcData, Regions) is how the caller learns that
	 * time: it is called exactly once, after the copy, on the thread that runs the command, and
	 * is where a heap-allocated buffer and region array are freed.
	 *
	 * The call is checked before anything is enqueued: MipIndex must name a mip, SrcBpp must be
	 * the bytes per texel of the texture's format, SrcData may be null only without regions, and
	 * every region must lie within the mip and within the source (SrcPitch at least the bytes
	 * the region's rows reach). A call that fails these checks first calls DataCleanupFunc once
	 * on the calling thread, so the caller's memory is still released, and then fails its check
	 * (FCheckFailure); nothing is enqueued and no texel changes. Should the mip have shrunk or
	 * gone by the time the command runs, nothing is copied, the clean-up is still called once,
	 * and the command's check failure is raised by the next flush.
	 */
	void UpdateTextureRegions(int32 MipIndex, uint32 NumRegions, FUpdateTextureRegion2D* Regions, uint32 SrcPitch, uint32 SrcBpp,
		uint8* SrcData, TFunction<void(uint8* SrcData, const FUpdateTextureRegion2D* Regions)> DataCleanupFunc = nullptr);


protected:
	/** A resource holding a copy of mip 0, uploaded on the render thread. */
	FTextureResource* CreateResource() override;

private:
	std::unique_ptr<FTexturePlatformData> PlatformData;
};
