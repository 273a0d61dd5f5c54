#include "Logging/LogCapture.h"
#include "RHI.h"
#include "RenderingModeTest.h"
#include "RenderingThread.h"
#include "Rendering/ColorVertexBuffer.h"
#include "Rendering/PositionVertexBuffer.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "Rendering/StaticMeshVertexBuffer.h"
#include "SceneTestMeshes.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/WeakObjectPtrTemplates.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
	/** Reads a whole GPU vertex buffer back through a read-only lock on the rendering thread. */
	TArray<uint8> ReadBuffer(const FBufferRHIRef& Buffer)
	{
		TArray<uint8> Bytes;
		ENQUEUE_RENDER_COMMAND(ReadVertexBuffer)([Buffer, &Bytes](FRHICommandListImmediate& RHICmdList) {
			Bytes.SetNum(int32(Buffer->GetSize()));
			const void* Data = RHICmdList.LockBuffer(Buffer, 0, Buffer->GetSize(), RLM_ReadOnly);
			std::memcpy(Bytes.GetData(), Data, Bytes.Num());
			RHICmdList.UnlockBuffer(Buffer);
		});
		FlushRenderingCommands();
		return Bytes;
	}

	template <typename T>
	TArray<uint8> BytesOf(const TArray<T>& Values)
	{
		return TArray<uint8>(reinterpret_cast<const uint8*>(Values.GetData()), int32(Values.Num() * sizeof(T)));
	}
}

TEST(VertexBufferTest, PositionsKeepTheirCpuCopyUntilInitialized)
{
	FPositionVertexBuffer Positions;
	Positions.Init({FVector3f(1, 2, 3), FVector3f(4, 5, 6)}, false);
	EXPECT_EQ(Positions.GetNumVertices(), 2u);
	EXPECT_EQ(Positions.GetStride(), 12u);
	EXPECT_FALSE(Positions.GetAllowCPUAccess());
	EXPECT_EQ(Positions.VertexPosition(1), FVector3f(4, 5, 6)) << "the copy stays until the GPU one is made";
	Positions.VertexPosition(0) = FVector3f(7, 8, 9);
	EXPECT_EQ(static_cast<const FVector3f*>(Positions.GetVertexData())[0], FVector3f(7, 8, 9));
	EXPECT_THROW(Positions.VertexPosition(2), FCheckFailure);

	Positions.Init(3);
	EXPECT_TRUE(Positions.GetAllowCPUAccess());
	EXPECT_EQ(Positions.VertexPosition(2), FVector3f(0, 0, 0));
	Positions.CleanUp();
	EXPECT_EQ(Positions.GetNumVertices(), 0u);
	EXPECT_EQ(Positions.GetVertexData(), nullptr);
}

TEST(VertexBufferTest, ColoursAndTangentFramesHaveCheckedAccessors)
{
	FColorVertexBuffer Colors;
	Colors.InitFromSingleColor(FColor(10, 20, 30, 40), 3);
	EXPECT_EQ(Colors.VertexColor(2), FColor(10, 20, 30, 40));
	EXPECT_EQ(Colors.GetAllocatedSize(), 12u);
	// The engine's byte order: B, G, R, A.
	EXPECT_EQ(static_cast<const uint8*>(Colors.GetVertexData())[0], 30);
	EXPECT_THROW(Colors.VertexColor(3), FCheckFailure);
	Colors.Init(2);
	EXPECT_EQ(Colors.VertexColor(1), FColor(0, 0, 0, 0));

	FStaticMeshVertexBuffer Tangents;
	EXPECT_THROW(Tangents.Init(2, 0), FCheckFailure);
	EXPECT_THROW(Tangents.Init(2, FStaticMeshVertexBuffer::MAX_TEXCOORDS + 1), FCheckFailure);
	Tangents.Init(2, 2);
	EXPECT_EQ(Tangents.VertexTangentZ(1), FVector4f(0, 0, 1, 1));
	EXPECT_TRUE(Tangents.VertexTangentY(1).Equals(FVector3f(0, 1, 0)));
	// A left-handed frame keeps its handedness in the normal's W.
	Tangents.SetVertexTangents(0, FVector3f(1, 0, 0), FVector3f(0, -1, 0), FVector3f(0, 0, 1));
	EXPECT_EQ(Tangents.VertexTangentZ(0).W, -1.0f);
	EXPECT_TRUE(Tangents.VertexTangentY(0).Equals(FVector3f(0, -1, 0)));
	EXPECT_EQ(Tangents.VertexTangentX(0), FVector4f(1, 0, 0, 0));
	Tangents.SetVertexUV(1, 1, FVector2f(0.25f, 0.75f));
	EXPECT_EQ(Tangents.GetVertexUV(1, 1), FVector2f(0.25f, 0.75f));
	EXPECT_EQ(Tangents.GetVertexUV(1, 0), FVector2f(0, 0));
	EXPECT_THROW(Tangents.GetVertexUV(1, 2), FCheckFailure);
	EXPECT_THROW(Tangents.SetVertexUV(2, 0, FVector2f(0, 0)), FCheckFailure);
}

/** Every GPU test runs with a render thread and with commands run inline, and must leave the validation layer silent. */
using VertexBufferGpuTest = FRenderingModeTest;

TEST_P(VertexBufferGpuTest, InitRHIUploadsTheCpuCopyAndDropsItWithoutCpuAccess)
{
	const TArray<FVector3f> Values = {FVector3f(1, 2, 3), FVector3f(-4, 5.5f, 6)};
	FPositionVertexBuffer Kept;
	FPositionVertexBuffer Dropped;
	Kept.Init(Values, true);
	Dropped.Init(Values, false);
	BeginInitResource(&Kept);
	BeginInitResource(&Dropped);
	FlushRenderingCommands();

	EXPECT_EQ(ReadBuffer(Kept.VertexBufferRHI), BytesOf(Values));
	EXPECT_EQ(ReadBuffer(Dropped.VertexBufferRHI), BytesOf(Values));
	EXPECT_EQ(Kept.VertexPosition(1), Values[1]);
	EXPECT_EQ(Dropped.GetVertexData(), nullptr);
	EXPECT_EQ(Dropped.GetNumVertices(), 2u);
	try
	{
		Dropped.VertexPosition(0);
		ADD_FAILURE() << "read a dropped copy";
	}
	catch (const FCheckFailure& Failure)
	{
		EXPECT_EQ(Failure.GetMessage(), "VertexPosition: the CPU copy of the positions was dropped (no CPU access)");
	}
	EXPECT_THROW(Kept.Init(Values, true), FCheckFailure) << "the renderer still uses the buffer";

	ReleaseResourceAndFlush(&Kept);
	ReleaseResourceAndFlush(&Dropped);
	EXPECT_FALSE(Kept.VertexBufferRHI.IsValid());
}

TEST_P(VertexBufferGpuTest, AnEmptyBufferHasNoGpuCopy)
{
	FColorVertexBuffer Colors;
	Colors.Init(0);
	BeginInitResource(&Colors);
	FlushRenderingCommands();
	EXPECT_TRUE(Colors.IsInitialized());
	EXPECT_FALSE(Colors.VertexBufferRHI.IsValid());
	ReleaseResourceAndFlush(&Colors);
}

TEST_P(VertexBufferGpuTest, MeshBuffersLockOnTheRenderingThreadAndRoundTrip)
{
	TStrongObjectPtr<USkeletalMesh> Mesh(SceneTest::MakeTwoBoneMesh());
	Mesh->InitResources();
	FlushRenderingCommands();
	FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData[0];
	FColorVertexBuffer& Colors = LOD.StaticVertexBuffers.ColorVertexBuffer;
	FStaticMeshVertexBuffer& Tangents = LOD.StaticVertexBuffers.StaticMeshVertexBuffer;
	ASSERT_TRUE(Colors.VertexBufferRHI.IsValid());
	EXPECT_EQ(ReadBuffer(Tangents.TexCoordVertexBuffer.VertexBufferRHI).Num(), 4 * int32(sizeof(FVector2f)));
	EXPECT_EQ(ReadBuffer(Tangents.TangentsVertexBuffer.VertexBufferRHI).Num(), 4 * 2 * int32(sizeof(FVector4f)));

	// The way a component culls vertices: change the CPU copy and write it into the locked GPU buffer.
	ENQUEUE_RENDER_COMMAND(LockAndModifyVertexBuffer)([&Colors](FRHICommandListImmediate& RHICmdList) {
		for (uint32 Vertex = 0; Vertex < Colors.GetNumVertices(); ++Vertex)
		{
			Colors.VertexColor(Vertex) = FColor(uint8(Vertex * 60), 0, 0, 255);
		}
		void* Data = RHICmdList.LockBuffer(Colors.VertexBufferRHI, 0, Colors.GetAllocatedSize(), RLM_WriteOnly);
		std::memcpy(Data, Colors.GetVertexData(), Colors.GetAllocatedSize());
		RHICmdList.UnlockBuffer(Colors.VertexBufferRHI);
	});
	FlushRenderingCommands();
	const TArray<uint8> Gpu = ReadBuffer(Colors.VertexBufferRHI);
	ASSERT_EQ(Gpu.Num(), 16);
	EXPECT_EQ(Gpu[3 * 4 + 2], 180) << "red of vertex 3, in B G R A order";
	EXPECT_EQ(Gpu[3 * 4 + 3], 255);

	Mesh->ReleaseResources();
	FlushRenderingCommands();
	EXPECT_FALSE(Colors.VertexBufferRHI.IsValid());
	EXPECT_FALSE(Mesh->GetResourceForRendering()->IsInitialized());
}

TEST_P(VertexBufferGpuTest, CollectingAMeshReleasesItsBuffersFirst)
{
	TWeakObjectPtr<USkeletalMesh> Weak;
	{
		TStrongObjectPtr<USkeletalMesh> Mesh(SceneTest::MakeTwoBoneMesh(false));
		Mesh->InitResources();
		Weak = Mesh.Get();
	}
	// The render data is destroyed with the mesh; its resources must be released by then, which the release log would show.
	FLogCapture Capture;
	CollectGarbage();
	FlushRenderingCommands();
	EXPECT_FALSE(Weak.IsValid());
	EXPECT_FALSE(Capture.Contains(TEXT("A render resource was destroyed without being released")));
}

INSTANTIATE_TEST_SUITE_P(RenderingModes, VertexBufferGpuTest, ::testing::Values(true, false), FRenderingModeTest::ModeName);
