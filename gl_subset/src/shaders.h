// The GLSL ES 3.00 sources of the fixed-function stages the subset offers.
// Each program is compiled for one combination of texture mode, generation
// mode per coordinate and normalisation, set by #defines, so that no program
// branches on state. The vertex stage does its sums in the order of the
// fixed-function programs GL drivers generate (products of a matrix column by
// one coordinate, accumulated), which keeps positions and generated texture
// coordinates as close as rounding allows to the desktop path's.
#pragma once

namespace sgl {

inline constexpr const char* kVertexShaderBody = R"(
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 texCoord;
layout(location = 3) in vec4 color;
uniform mat4 modelViewProjection;
uniform mat4 modelView;
// Columns of the inverse of the model-view's 3 x 3 block: eye-space normal
// component i is the dot product of column i with the normal.
uniform mat3 normalMatrix;
out vec4 fragmentColor;
out vec2 fragmentTexCoord;

vec4 transform(mat4 m, vec4 v) {
    vec4 r = m[0] * v.x;
    r = m[1] * v.y + r;
    r = m[2] * v.z + r;
    return m[3] * v.w + r;
}

float generated(int mode, int index, vec4 object, vec4 eye, vec2 sphere, float given) {
    if (mode == 1) return object[index];
    if (mode == 2) return sphere[index];
    if (mode == 3) return eye[index];
    return given;
}

void main() {
    vec4 object = vec4(position, 1.0);
    gl_Position = transform(modelViewProjection, object);
    vec2 coordinates = texCoord;
#if TEXGEN_S != 0 || TEXGEN_T != 0
    vec4 eye = transform(modelView, object);
    vec2 sphere = vec2(0.0);
#if TEXGEN_S == 2 || TEXGEN_T == 2
    vec3 n = vec3(dot(normalMatrix[0], normal), dot(normalMatrix[1], normal),
                  dot(normalMatrix[2], normal));
#if NORMALIZE
    n = n * inversesqrt(dot(n, n));
#endif
    vec3 u = eye.xyz * inversesqrt(dot(eye.xyz, eye.xyz));
    float twiceNU = dot(n, u);
    twiceNU = twiceNU + twiceNU;
    vec3 r = -twiceNU * n + u;
    vec3 q = r + vec3(0.0, 0.0, 1.0);
    // 1 / m with m = 2 sqrt(rx^2 + ry^2 + (rz + 1)^2).
    float inverseM = inversesqrt(dot(q, q)) * 0.5;
    sphere = r.xy * inverseM + 0.5;
#endif
    coordinates.x = generated(TEXGEN_S, 0, object, eye, sphere, texCoord.x);
    coordinates.y = generated(TEXGEN_T, 1, object, eye, sphere, texCoord.y);
#endif
    fragmentTexCoord = coordinates;
    fragmentColor = clamp(color, 0.0, 1.0);
}
)";

inline constexpr const char* kFragmentShaderBody = R"(
uniform sampler2D image;
in vec4 fragmentColor;
in vec2 fragmentTexCoord;
out vec4 outColor;

void main() {
#if TEXTURE_MODE == 1
    outColor = fragmentColor * texture(image, fragmentTexCoord);
#elif TEXTURE_MODE == 2
    // An alpha texture modulates alpha only.
    outColor = vec4(fragmentColor.rgb, fragmentColor.a * texture(image, fragmentTexCoord).a);
#else
    outColor = fragmentColor;
#endif
}
)";

}  // namespace sgl
