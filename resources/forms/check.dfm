object Form_check: TForm_check
  Left = 0
  Top = 0
  BorderStyle = bsNone
  Caption = '检查'
  ClientHeight = 305
  ClientWidth = 267
  Color = clWhite
  Font.Charset = GB2312_CHARSET
  Font.Color = clBlack
  Font.Height = -12
  Font.Name = '宋体'
  Font.Style = []
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  ShowHint = True
  OnShow = FormShow
  object Panel_frameTop: TPanel
    Left = 0
    Top = 0
    Width = 267
    Height = 3
    BevelOuter = bvNone
    Color = 153
  end
  object Panel_frameBottom: TPanel
    Left = 0
    Top = 302
    Width = 267
    Height = 3
    BevelOuter = bvNone
    Color = 153
  end
  object Panel_frameLeft: TPanel
    Left = 0
    Top = 0
    Width = 3
    Height = 305
    BevelOuter = bvNone
    Color = 153
  end
  object Panel_frameRight: TPanel
    Left = 264
    Top = 0
    Width = 3
    Height = 305
    BevelOuter = bvNone
    Color = 153
  end
  object Label1: TLabel
    Left = 16
    Top = 16
    Width = 120
    Height = 12
    Caption = '检查已安装程序:'
    Font.Charset = GB2312_CHARSET
    Font.Color = 153
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = [fsBold]
    ParentFont = False
    Transparent = True
  end
  object Panel_gs: TPanel
    Left = 16
    Top = 44
    Width = 235
    Height = 30
    BevelOuter = bvLowered
    Color = 15658734
    object Label_gs: TLabel
      Left = 8
      Top = 9
      Width = 180
      Height = 12
      Caption = 'AFPL GhostScript 8.51'
      Transparent = True
    end
    object XcLED_gs: TXcLED
      Left = 208
      Top = 6
      Width = 18
      Height = 18
      ColorOn = clYellow
    end
  end
  object Panel_printer: TPanel
    Left = 16
    Top = 80
    Width = 235
    Height = 30
    BevelOuter = bvLowered
    Color = 15658734
    object Label_printer: TLabel
      Left = 8
      Top = 9
      Width = 180
      Height = 12
      Caption = 'Adobe Universal PostScript 1.06e'
      Transparent = True
    end
    object XcLED_printer: TXcLED
      Left = 208
      Top = 6
      Width = 18
      Height = 18
      ColorOn = clYellow
    end
  end
  object Panel_word: TPanel
    Left = 16
    Top = 116
    Width = 235
    Height = 30
    BevelOuter = bvLowered
    Color = 15658734
    object Label_word: TLabel
      Left = 8
      Top = 9
      Width = 180
      Height = 12
      Caption = 'MS Word 97 (或更高版本)'
      Transparent = True
    end
    object XcLED_word: TXcLED
      Left = 208
      Top = 6
      Width = 18
      Height = 18
      ColorOn = clYellow
    end
  end
  object Panel_excel: TPanel
    Left = 16
    Top = 152
    Width = 235
    Height = 30
    BevelOuter = bvLowered
    Color = 15658734
    object Label_excel: TLabel
      Left = 8
      Top = 9
      Width = 180
      Height = 12
      Caption = 'MS Excel 97 (或更高版本)'
      Transparent = True
    end
    object XcLED_excel: TXcLED
      Left = 208
      Top = 6
      Width = 18
      Height = 18
      ColorOn = clYellow
    end
  end
  object Panel_powerpoint: TPanel
    Left = 16
    Top = 188
    Width = 235
    Height = 30
    BevelOuter = bvLowered
    Color = 15658734
    object Label_powerpoint: TLabel
      Left = 8
      Top = 9
      Width = 180
      Height = 12
      Caption = 'MS PowerPoint 97 (或更高版本)'
      Transparent = True
    end
    object XcLED_powerpoint: TXcLED
      Left = 208
      Top = 6
      Width = 18
      Height = 18
      ColorOn = clYellow
    end
  end
  object Panel_access: TPanel
    Left = 16
    Top = 224
    Width = 235
    Height = 30
    BevelOuter = bvLowered
    Color = 15658734
    object Label_access: TLabel
      Left = 8
      Top = 9
      Width = 180
      Height = 12
      Caption = 'MS Access 2000 (或更高版本)'
      Transparent = True
    end
    object XcLED_access: TXcLED
      Left = 208
      Top = 6
      Width = 18
      Height = 18
      ColorOn = clYellow
    end
  end
  object SpeedButton_close: TSpeedButton
    Left = 150
    Top = 268
    Width = 100
    Height = 22
    Hint = '关闭对话框。'
    Caption = '>> 关闭(&L)'
    Flat = True
    Font.Charset = GB2312_CHARSET
    Font.Color = 153
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = []
    ParentFont = False
    OnClick = SpeedButton_closeClick
  end
  object Timer_start: TTimer
    Enabled = False
    Interval = 500
    OnTimer = Timer_startTimer
    Left = 16
    Top = 264
  end
end
