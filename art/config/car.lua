-- The player's 4x4: a short-wheelbase off-roader, two metres wide and four and a half long.
-- The wheels sit at the corners: x = +-width/2, z = +-0.4 length from the body's centre.

local car = Car()

car.width = 2.0
car.length = 4.4
car.height = 1.6

-- The wheels' force models share `mass`; `mass_ode` is the body's own mass. A little more
-- weight on the front keeps the nose down under braking.
car.mass = 40.0
car.mass_ode = 4.0
car.mass_translate = 0.1
car.side_friction = 0.5
car.front_friction = 0.1

-- The body rides on its rays. They hold the mount points (the body's centre height) at the
-- suspension height less what gravity takes in one step (98.1 / 90 = 1.09): 2.19 gives a
-- ride height of 1.1, which leaves the underside 0.3 clear.
car.front_wheels.turn_freedom = 0.5
car.front_wheels.suspension_height = 2.19
car.back_wheels.turn_freedom = 0.0
car.back_wheels.suspension_height = 2.19

-- Speeds in units per second: about 130 km/h flat out, 5 seconds to get there.
local controller = car.controller
controller.engine_power = 36.0
controller.accel_power = 7.0
controller.break_power = 30.0
controller.break_blocks = 0.9
controller.steer_tension = 1.0
controller.force_feedback = 0.015
controller.collision_start_detach = 100000.0
controller.collision_breakpoint = 110000.0
controller.time_to_reattach = 1.0

-- The chase camera looks at a point 3 units ahead of the car from 12 behind, 17 degrees up,
-- and covers 15 percent of the way to its place each step (90 a second).
car.camera_outside.inertia = 0.15
car.camera_outside.distance = 12.0
car.camera_outside.target_offset = 3.0
car.camera_outside.angle = 0.3

-- The cockpit camera sits at a fixed height and does not read its record.
car.camera_inside.inertia = 1.0
car.camera_inside.distance = 0.0
car.camera_inside.target_offset = 0.0
car.camera_inside.angle = 0.0

-- Meshes: objects of the bundle, drawn with the car's effect.
car.object_bundle = "levels/car.slev"
car.object = "jeep_body"
car.effect = "car.fx"
car.antena = "jeep_antenna"
car.wheel1.object = "jeep_wheel_fl"
car.wheel2.object = "jeep_wheel_fr"
car.wheel3.object = "jeep_wheel_rl"
car.wheel4.object = "jeep_wheel_rr"
car.wheel1.effect = "car.fx"
car.wheel2.effect = "car.fx"
car.wheel3.effect = "car.fx"
car.wheel4.effect = "car.fx"

car.hack_delta_x = 0.0
car.hack_delta_y = 0.0
car.hack_delta_z = 0.0

return car
