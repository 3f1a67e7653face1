Controls	simulated fluorimeter (kolvane-simulate)
Data file	study.fix
Record	Blue	Blue-Green	Green
C1	504.381	543.858	374.806
C1	500.877	539.860	373.483
C1	497.373	535.863	372.160
C10	494.426	532.405	368.151
C20	487.258	524.121	362.227
