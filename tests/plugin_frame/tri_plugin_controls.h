// The number of the example export class's own options field.
#pragma once

constexpr int kTriWireRadiusControl = 1034;
