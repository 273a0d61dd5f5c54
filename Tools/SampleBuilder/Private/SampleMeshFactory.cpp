#include "SampleMeshFactory.h"

#include "Animation/MorphTarget.h"
#include "Animation/Skeleton.h"
#include "Engine/SkeletalMesh.h"
#include "Materials/Material.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "SampleSurface.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

#include <unordered_map>
#include <utility>

namespace
{
	/** Vertices that move less than this (cm) are left out of a morph target. */
	constexpr float MinMorphDelta = 1e-4f;

	struct FMeshBuild
	{
		TArray<int32> SourceVertex;
		TArray<FVector2f> UV;
		TArray<uint32> Indices;
		TArray<FSkelMeshRenderSection> Sections;
	};

	struct FMorphBuild
	{
		FName Name;
		TArray<FMorphTargetDelta> Deltas;
	};

	using FFace = FSampleSourceMesh::FFace;

	/** Sections, vertices and triangles: each slot's faces over vertices of their own. */
	FMeshBuild BuildSections(const FSampleSourceMesh& Source, const TArray<TArray<const FFace*>>& SlotFaces, int32 NumBones)
	{
		FMeshBuild Build;
		for (int32 Slot = 0; Slot < SlotFaces.Num(); ++Slot)
		{
			FSkelMeshRenderSection& Section = Build.Sections.AddDefaulted_GetRef();
			Section.MaterialIndex = uint16(Slot);
			Section.BaseIndex = uint32(Build.Indices.Num());
			Section.BaseVertexIndex = uint32(Build.SourceVertex.Num());
			for (int32 Bone = 0; Bone < NumBones; ++Bone)
			{
				Section.BoneMap.Add(FBoneIndexType(Bone));
			}
			std::unordered_map<uint64, uint32> VertexOfCorner;
			for (const FFace* Face : SlotFaces[Slot])
			{
				uint32 Corners[4];
				for (int32 Corner = 0; Corner < Face->NumCorners; ++Corner)
				{
					const uint64 Key = (uint64(uint32(Face->Vertices[Corner])) << 32) | uint32(Face->TexCoords[Corner]);
					const auto [Found, bAdded] = VertexOfCorner.try_emplace(Key, uint32(Build.SourceVertex.Num()));
					if (bAdded)
					{
						Build.SourceVertex.Add(Face->Vertices[Corner]);
						Build.UV.Add(Source.TexCoords[Face->TexCoords[Corner]]);
					}
					Corners[Corner] = Found->second;
				}
				int32 TriangleCorners[6];
				const int32 NumTriangles = FSampleSurface::GetTriangleCorners(*Face, TriangleCorners);
				for (int32 Index = 0; Index < NumTriangles * 3; ++Index)
				{
					Build.Indices.Add(Corners[TriangleCorners[Index]]);
				}
			}
			Section.NumVertices = uint32(Build.SourceVertex.Num()) - Section.BaseVertexIndex;
			Section.NumTriangles = (uint32(Build.Indices.Num()) - Section.BaseIndex) / 3;
		}
		return Build;
	}

	/** Fills the tangent frames: U direction made perpendicular to the normal, V direction for the binormal sign. */
	void SetTangents(const FMeshBuild& Build, const TArray<FVector3f>& Positions, const TArray<FVector3f>& SourceNormals, FStaticMeshVertexBuffer& Buffer)
	{
		const int32 NumVertices = Build.SourceVertex.Num();
		TArray<FVector3f> AlongU;
		TArray<FVector3f> AlongV;
		AlongU.Init(FVector3f(0, 0, 0), NumVertices);
		AlongV.Init(FVector3f(0, 0, 0), NumVertices);
		for (int32 Index = 0; Index < Build.Indices.Num(); Index += 3)
		{
			const uint32 Corner[3] = {Build.Indices[Index], Build.Indices[Index + 1], Build.Indices[Index + 2]};
			const FVector3f Edge1 = Positions[Build.SourceVertex[Corner[1]]] - Positions[Build.SourceVertex[Corner[0]]];
			const FVector3f Edge2 = Positions[Build.SourceVertex[Corner[2]]] - Positions[Build.SourceVertex[Corner[0]]];
			const FVector2f UV1 = Build.UV[Corner[1]] - Build.UV[Corner[0]];
			const FVector2f UV2 = Build.UV[Corner[2]] - Build.UV[Corner[0]];
			const float Determinant = UV1.X * UV2.Y - UV2.X * UV1.Y;
			if (FMath::Abs(Determinant) < 1e-12f)
			{
				continue;
			}
			// Edge = dU * T + dV * B solved for T and B, scaled by |Determinant| (the triangle's UV
			// area) instead of divided by it: each triangle then weighs by its size, and slivers
			// thin in UV cannot blow up the sum.
			const float Sign = Determinant > 0.0f ? 1.0f : -1.0f;
			const FVector3f TangentU = (Edge1 * UV2.Y - Edge2 * UV1.Y) * Sign;
			const FVector3f TangentV = (Edge2 * UV1.X - Edge1 * UV2.X) * Sign;
			for (uint32 Vertex : Corner)
			{
				AlongU[Vertex] += TangentU;
				AlongV[Vertex] += TangentV;
			}
		}
		for (int32 Vertex = 0; Vertex < NumVertices; ++Vertex)
		{
			FVector3f Normal = SourceNormals[Build.SourceVertex[Vertex]];
			if (Normal.IsNearlyZero())
			{
				Normal = FVector3f(0, 0, 1);
			}
			FVector3f Tangent = AlongU[Vertex] - Normal * (AlongU[Vertex] | Normal);
			if (!Tangent.Normalize())
			{
				// No usable UV gradient: any direction across the normal keeps the frame orthonormal.
				Tangent = (FMath::Abs(Normal.X) < 0.9f ? FVector3f(1, 0, 0) : FVector3f(0, 1, 0));
				Tangent = (Tangent - Normal * (Tangent | Normal)).GetSafeNormal();
			}
			const FVector3f Binormal = AlongV[Vertex].IsNearlyZero() ? (Normal ^ Tangent) : AlongV[Vertex];
			Buffer.SetVertexTangents(uint32(Vertex), Tangent, Binormal, Normal);
			Buffer.SetVertexUV(uint32(Vertex), 0, Build.UV[Vertex]);
		}
	}

	/** The deltas of one morph target on this mesh's vertices, empty when it moves none of them. */
	TArray<FMorphTargetDelta> BuildMorphDeltas(const FSampleMorphTarget& Morph, const FSampleSourceMesh& Source, const TArray<const FFace*>& Faces,
		const TArray<TArray<int32>>& FacesOfVertex, const TArray<TArray<uint32>>& OutputsOfVertex, const TArray<FVector3f>& BaseNormals)
	{
		TArray<FMorphTargetDelta> Deltas;
		TArray<FVector3f> Morphed;
		for (int32 Index = 0; Index < Morph.GetVertices().Num(); ++Index)
		{
			const int32 Vertex = Morph.GetVertices()[Index];
			const FVector3f& Delta = Morph.GetDeltas()[Index];
			if (OutputsOfVertex[Vertex].IsEmpty() || Delta.Size() < MinMorphDelta)
			{
				continue;
			}
			if (Morphed.IsEmpty())
			{
				Morphed = Source.Positions;
				Morph.Apply(Morphed, 1.0f);
			}
			FVector3f Normal(0, 0, 0);
			for (int32 Face : FacesOfVertex[Vertex])
			{
				Normal += FSampleSurface::GetFaceNormal(*Faces[Face], Morphed);
			}
			const FVector3f NormalDelta = Normal.GetSafeNormal() - BaseNormals[Vertex];
			for (uint32 Output : OutputsOfVertex[Vertex])
			{
				FMorphTargetDelta& Entry = Deltas.AddDefaulted_GetRef();
				Entry.SourceIdx = Output;
				Entry.PositionDelta = Delta;
				Entry.TangentZDelta = NormalDelta;
			}
		}
		return Deltas;
	}
}

USkeletalMesh* FSampleMeshFactory::Make(const FSampleSourceMesh& Source, int32 Group, const TArray<FSampleMaterialSlot>& Slots, const FSampleSkeleton& Skeleton,
	const TArray<FSampleMorphTarget>& Morphs, UObject* Outer, FName Name, FString& OutError, TArray<int32>* OutSourceVertices)
{
	auto Fail = [&OutError, &Name](const FString& Reason) -> USkeletalMesh*
	{
		OutError = FString::Printf(TEXT("mesh %s: %s"), *Name.ToString(), *Reason);
		return nullptr;
	};
	if (!Source.GroupNames.IsValidIndex(Group))
	{
		return Fail(FString::Printf(TEXT("the source has no group %d"), Group));
	}
	const TArray<const FFace*> Faces = Source.GetGroupFaces(Group);
	if (Faces.IsEmpty())
	{
		return Fail(FString::Printf(TEXT("group %s has no faces"), *Source.GroupNames[Group]));
	}
	if (Slots.IsEmpty())
	{
		return Fail(TEXT("a mesh needs at least one material slot"));
	}
	// Slots and morph targets become objects inside the mesh, so their names must not meet.
	TArray<FName> UsedNames;
	for (const FSampleMaterialSlot& Slot : Slots)
	{
		if (Slot.SlotName.IsNone() || UsedNames.Contains(Slot.SlotName))
		{
			return Fail(FString::Printf(TEXT("material slot name \"%s\" is unset or used twice"), *Slot.SlotName.ToString()));
		}
		UsedNames.Add(Slot.SlotName);
	}
	for (const FSampleMorphTarget& Morph : Morphs)
	{
		const FName MorphName(Morph.GetName());
		if (MorphName.IsNone() || UsedNames.Contains(MorphName))
		{
			return Fail(FString::Printf(TEXT("morph target name \"%s\" is unset or already used by a slot or morph target"), *Morph.GetName()));
		}
		UsedNames.Add(MorphName);
		if (!Morph.GetVertices().IsEmpty() && Morph.GetVertices().Last() >= Source.Positions.Num())
		{
			return Fail(FString::Printf(TEXT("morph target %s moves vertex %d of a source with %d vertices"), *Morph.GetName(), Morph.GetVertices().Last(),
				Source.Positions.Num()));
		}
	}
	FString SkeletonError;
	if (Skeleton.GetNumBones() == 0)
	{
		return Fail(TEXT("the skeleton has no bones (not loaded)"));
	}
	if (!Skeleton.CheckVertexCount(Source.Positions.Num(), SkeletonError))
	{
		return Fail(SkeletonError);
	}
	if (!Name.IsNone() && StaticFindObject(UObject::StaticClass(), Outer ? Outer : static_cast<UObject*>(GetTransientPackage()), *Name.ToString()))
	{
		return Fail(TEXT("an object of that name exists already"));
	}

	TArray<TArray<const FFace*>> SlotFaces;
	SlotFaces.SetNum(Slots.Num());
	for (int32 FaceIndex = 0; FaceIndex < Faces.Num(); ++FaceIndex)
	{
		const int32 Slot = Slots.IndexOfByPredicate([Face = Faces[FaceIndex]](const FSampleMaterialSlot& Candidate)
			{ return !Candidate.Takes || Candidate.Takes(*Face); });
		if (Slot == INDEX_NONE)
		{
			return Fail(FString::Printf(TEXT("face %d of group %s is taken by no material slot"), FaceIndex, *Source.GroupNames[Group]));
		}
		SlotFaces[Slot].Add(Faces[FaceIndex]);
	}

	const FMeshBuild Build = BuildSections(Source, SlotFaces, Skeleton.GetNumBones());
	const int32 NumVertices = Build.SourceVertex.Num();
	const TArray<FVector3f> Normals = FSampleSurface::ComputeVertexNormals(Faces, Source.Positions);

	TArray<TArray<int32>> FacesOfVertex;
	TArray<TArray<uint32>> OutputsOfVertex;
	FacesOfVertex.SetNum(Source.Positions.Num());
	OutputsOfVertex.SetNum(Source.Positions.Num());
	for (int32 FaceIndex = 0; FaceIndex < Faces.Num(); ++FaceIndex)
	{
		for (int32 Corner = 0; Corner < Faces[FaceIndex]->NumCorners; ++Corner)
		{
			FacesOfVertex[Faces[FaceIndex]->Vertices[Corner]].Add(FaceIndex);
		}
	}
	for (int32 Vertex = 0; Vertex < NumVertices; ++Vertex)
	{
		OutputsOfVertex[Build.SourceVertex[Vertex]].Add(uint32(Vertex));
	}
	TArray<FMorphBuild> MorphBuilds;
	for (const FSampleMorphTarget& Morph : Morphs)
	{
		TArray<FMorphTargetDelta> Deltas = BuildMorphDeltas(Morph, Source, Faces, FacesOfVertex, OutputsOfVertex, Normals);
		if (!Deltas.IsEmpty())
		{
			MorphBuilds.Add({FName(Morph.GetName()), std::move(Deltas)});
		}
	}
	const FReferenceSkeleton RefSkeleton = Skeleton.MakeReferenceSkeleton(Skeleton.ComputeRefPose(Source.Positions));

	// Everything is validated and computed; only now are objects made.
	USkeletalMesh* Mesh = NewObject<USkeletalMesh>(Outer, Name);
	Mesh->SetRefSkeleton(RefSkeleton);
	TArray<FSkeletalMaterial> Materials;
	for (const FSampleMaterialSlot& Slot : Slots)
	{
		UMaterial* Material = NewObject<UMaterial>(Mesh, Slot.SlotName);
		Material->AddTextureParameter(FName(TEXT("BC_Texture")), nullptr);
		Materials.Add(FSkeletalMaterial(Material, Slot.SlotName, Slot.SlotName));
	}
	Mesh->SetMaterials(Materials);

	Mesh->AllocateResourceForRendering();
	FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData.Emplace_GetRef();
	TArray<FVector3f> Positions;
	TArray<FVector> BoundsPoints;
	Positions.Reserve(NumVertices);
	BoundsPoints.Reserve(NumVertices);
	for (int32 Vertex : Build.SourceVertex)
	{
		Positions.Add(Source.Positions[Vertex]);
		BoundsPoints.Add(FVector(Source.Positions[Vertex]));
	}
	LOD.StaticVertexBuffers.PositionVertexBuffer.Init(Positions, true);
	LOD.StaticVertexBuffers.StaticMeshVertexBuffer.Init(uint32(NumVertices), 1, true);
	LOD.StaticVertexBuffers.ColorVertexBuffer.InitFromSingleColor(FColor::White, uint32(NumVertices), true);
	SetTangents(Build, Source.Positions, Normals, LOD.StaticVertexBuffers.StaticMeshVertexBuffer);
	LOD.SkinWeightVertexBuffer = Skeleton.GetSkinWeights(Build.SourceVertex);
	LOD.RenderSections = Build.Sections;
	LOD.MultiSizeIndexContainer.RebuildIndexBuffer(NumVertices > int32(MAX_uint16) + 1 ? sizeof(uint32) : sizeof(uint16), Build.Indices);
	for (int32 Bone = 0; Bone < Skeleton.GetNumBones(); ++Bone)
	{
		LOD.RequiredBones.Add(FBoneIndexType(Bone));
		LOD.ActiveBoneIndices.Add(FBoneIndexType(Bone));
	}
	Mesh->SetImportedBounds(FBoxSphereBounds(FBox(BoundsPoints)));

	for (const FMorphBuild& MorphBuild : MorphBuilds)
	{
		UMorphTarget* MorphTarget = NewObject<UMorphTarget>(Mesh, MorphBuild.Name);
		MorphTarget->PopulateDeltas(MorphBuild.Deltas, 0, NumVertices);
		Mesh->RegisterMorphTarget(MorphTarget);
	}

	// Made last, so its generated name cannot take one a slot or morph target needs.
	USkeleton* MeshSkeleton = NewObject<USkeleton>(Mesh);
	verify(MeshSkeleton->MergeAllBonesToBoneTree(Mesh));
	Mesh->SetSkeleton(MeshSkeleton);

	if (OutSourceVertices)
	{
		*OutSourceVertices = Build.SourceVertex;
	}
	return Mesh;
}
