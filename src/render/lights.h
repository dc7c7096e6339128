#pragma once

// Lights (sun GL_LIGHT0, flashlight GL_LIGHT1, menu light GL_LIGHT2) and materials.

// A surface's reflectance: 13 floats, passed by value.
struct Material {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float shininess;
};

inline constexpr Material redMaterial = {{0.2f, 0.0f, 0.0f, 1.0f}, {0.8f, 0.0f, 0.0f, 1.0f},
                                         {0.0f, 0.0f, 0.0f, 1.0f}, 0.0f};
inline constexpr Material grassMaterial = {{0.1f, 0.3f, 0.1f, 1.0f}, {0.1f, 0.8f, 0.2f, 1.0f},
                                           {0.2f, 0.2f, 0.2f, 1.0f}, 20.0f};
inline constexpr Material moonMaterial = {{1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f},
                                          {0.8f, 0.8f, 0.8f, 1.0f}, 100.0f};
inline constexpr Material bunnyNightMaterial = {{0.1f, 0.1f, 0.1f, 0.0f},
                                                {0.4f, 0.4f, 0.4f, 1.0f},
                                                {0.3f, 0.3f, 0.3f, 1.0f}, 10.0f};
inline constexpr Material bunnyDayMaterial = {{0.8f, 0.8f, 0.8f, 0.0f},
                                              {0.4f, 0.4f, 0.4f, 1.0f},
                                              {0.3f, 0.3f, 0.3f, 1.0f}, 10.0f};
inline constexpr Material blackMaterial = {{0.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f},
                                           {0.0f, 0.0f, 0.0f, 1.0f}, 0.0f};
inline constexpr Material shadowMaterial = {{0.2f, 0.2f, 0.2f, 0.2f}, {0.0f, 0.0f, 0.0f, 0.6f},
                                            {0.0f, 0.0f, 0.0f, 0.2f}, 0.0f};
inline constexpr Material wallNightMaterial = {{0.1f, 0.1f, 0.1f, 1.0f},
                                               {0.2f, 0.2f, 0.2f, 1.0f},
                                               {0.2f, 0.2f, 0.2f, 1.0f}, 40.0f};
inline constexpr Material wallDayMaterial = {{0.4f, 0.4f, 0.4f, 1.0f}, {0.2f, 0.2f, 0.2f, 1.0f},
                                             {0.2f, 0.2f, 0.2f, 1.0f}, 40.0f};
inline constexpr Material crownMaterial = {{0.0f, 0.3f, 0.1f, 1.0f}, {0.0f, 0.8f, 0.0f, 1.0f},
                                           {0.0f, 0.0f, 0.0f, 1.0f}, 10.0f};
inline constexpr Material trunkMaterial = {{0.4f, 0.2f, 0.0f, 1.0f}, {0.3f, 0.2f, 0.0f, 1.0f},
                                           {0.3f, 0.2f, 0.0f, 1.0f}, 40.0f};
inline constexpr Material daySkyMaterial = {{0.0f, 0.6f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.9f, 1.0f},
                                            {0.2f, 0.2f, 1.0f, 1.0f}, 0.0f};
inline constexpr Material figureMaterial = {{0.1f, 0.1f, 0.3f, 1.0f}, {0.0f, 0.0f, 0.9f, 1.0f},
                                            {0.2f, 0.2f, 0.5f, 1.0f}, 0.0f};

// Applies a material to front and back faces: ambient, diffuse, specular, shininess.
void setMaterial(Material m);

// Sets the three lights' colours, the flashlight's cone and attenuation, flat shading and
// lighting on; leaves all three lights disabled. Positions are placed per frame.
void initLights();

// Places the sun in the current (world) coordinates.
void placeSunLight();

// Places the flashlight in eye coordinates (called while the modelview is the identity).
void placeFlashlight();

// Places the menu light above the menu.
void placeMenuLight();
