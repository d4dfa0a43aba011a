-- How the car meets the world. The wheels are rays and do not use these surfaces: the
-- terrain surface only catches the body when it comes down on its belly or its roof, the
-- building surface every knock against a wall.

local c = physics.Collisions()

local ground = c.car_to_terrain
ground.miu = 0.8
ground.bounciness = 0.05
ground.bounce_velocity = 2.0
ground.soft_erp = 0.4
ground.soft_cfm = 0.001
ground.contact_dampener = 0.8
ground.orient_friction = false
ground.flags = physics.Surface.BOUNCE + physics.Surface.SOFT_ERP + physics.Surface.SOFT_CFM

-- Walls are slippery and give a little, so a glancing hit slides the car along.
local walls = c.car_to_buildings
walls.miu = 0.3
walls.bounciness = 0.25
walls.bounce_velocity = 1.0
walls.soft_erp = 0.3
walls.soft_cfm = 0.002
walls.contact_dampener = 0.6
walls.orient_friction = false
walls.flags = physics.Surface.BOUNCE + physics.Surface.SOFT_ERP + physics.Surface.SOFT_CFM

return c
